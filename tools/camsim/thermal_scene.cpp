#include "thermal_scene.h"

#include <algorithm>
#include <cmath>

namespace camsim {
namespace {

constexpr double kZeroCelsius = 273.15;
constexpr float kHotCelsius = 300.0f;

// Small deterministic generator: the same camera shows the same fixed pattern every run.
struct Lcg {
    uint32_t state;
    float Unit() {  // -1 .. 1
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / static_cast<float>(1u << 23) - 1.0f;
    }
};

// Frame noise: the same frame number gives the same noise, so a frame can be recomputed.
float NoiseUnit(uint32_t n, size_t i) {  // triangular, -1 .. 1, standard deviation 1 / sqrt(6)
    uint64_t z = (uint64_t{n} << 32 | i) * 0x9E3779B97F4A7C15ull;
    z ^= z >> 29;
    z *= 0xBF58476D1CE4E5B9ull;
    z ^= z >> 32;
    const float a = static_cast<float>(z & 0xFFFFFF) / float(1 << 24);
    const float b = static_cast<float>((z >> 24) & 0xFFFFFF) / float(1 << 24);
    return a + b - 1.0f;
}

uint16_t Clamp(double v) {
    return static_cast<uint16_t>(std::clamp(v, 0.0, static_cast<double>(ThermalScene::kMaxValue)));
}

double Radiance(const ResponseConstants& c, double celsius) {
    return c.r / (std::exp(c.b / (celsius + kZeroCelsius)) - c.f);
}

}  // namespace

ResponseConstants ModelResponse(const std::string& model) {
    // A 640 x 512 and a 1280 x 1024 model; 300 C stays well below the 14-bit ceiling.
    if (model == "G012L") return {155000.0, 1510.0, 1.0, 620.0};
    return {133000.0, 1428.0, 1.0, 1000.0};
}

ThermalScene::ThermalScene(uint32_t width, uint32_t height, const SceneSettings& settings)
    : width_(width), height_(height), gain_(size_t{width} * height), offset_(gain_.size()) {
    Lcg rng{0x5EEDu};
    for (size_t i = 0; i < gain_.size(); ++i) {
        gain_[i] = 1.0f + 0.03f * rng.Unit();
        offset_[i] = 40.0f * rng.Unit();
    }
    const uint32_t pixels = width * height;
    for (uint32_t k = 1; k <= 3; ++k) {
        dead_.push_back((pixels / 5 * k + 17 * k) % pixels);
        hot_.push_back((pixels / 7 * (k + 1) + 29 * k) % pixels);
    }
    settings_ = settings;
    settings_.noise = -1.0f;  // differs from any setting, so Configure builds the scene
    Configure(settings);
}

void ThermalScene::Configure(const SceneSettings& settings) {
    if (settings == settings_ && !staticDigits_.empty()) return;
    settings_ = settings;
    staticDigits_.resize(size_t{width_} * height_);
    for (uint32_t y = 0; y < height_; ++y) {
        for (uint32_t x = 0; x < width_; ++x) {
            staticDigits_[size_t{y} * width_ + x] =
                static_cast<float>(IdealDigits(StaticCelsius(x, y)));
        }
    }
}

double ThermalScene::IdealDigits(double celsius) const {
    const SceneSettings& s = settings_;
    const ResponseConstants& c = s.response;
    const double object = s.emissivity * Radiance(c, celsius) +
                          (1.0 - s.emissivity) * Radiance(c, s.reflectedCelsius);
    return s.transmission * object + (1.0 - s.transmission) * Radiance(c, s.atmosphereCelsius) +
           c.o;
}

float ThermalScene::StaticCelsius(uint32_t x, uint32_t y) const {
    if (settings_.blackbodyFills) return settings_.blackbodyCelsius;
    const float w = float(width_), h = float(height_);
    // Blackbody target: a square in the upper left corner.
    const float side = std::max(2.0f, h / 6.0f);
    if (x >= w / 16 && x < w / 16 + side && y >= h / 16 && y < h / 16 + side) {
        return settings_.blackbodyCelsius;
    }
    // Person: head and body, warmest in the middle.
    const auto ellipse = [x, y](float cx, float cy, float rx, float ry) {
        const float dx = (float(x) - cx) / rx, dy = (float(y) - cy) / ry;
        return dx * dx + dy * dy;
    };
    const float head = ellipse(w / 2, 0.30f * h, 0.05f * h, 0.065f * h);
    if (head < 1.0f) return 35.0f - head;
    const float body = ellipse(w / 2, 0.62f * h, 0.09f * w, 0.28f * h);
    if (body < 1.0f) return 34.0f - body;
    return 18.0f + 6.0f * x / w + 3.0f * y / h;
}

ThermalScene::Disc ThermalScene::HotDisc(uint32_t n) const {
    // Once round the centre every 200 frames.
    const float angle = 2.0f * 3.14159265f * static_cast<float>(n % 200) / 200.0f;
    return {width_ * (0.5f + 0.3f * std::cos(angle)), height_ * (0.5f + 0.3f * std::sin(angle)),
            std::max(2.0f, height_ / 8.0f)};
}

bool ThermalScene::InDisc(const Disc& d, uint32_t x, uint32_t y, float& celsius) const {
    if (settings_.blackbodyFills) return false;
    const float d2 = ((x - d.cx) * (x - d.cx) + (y - d.cy) * (y - d.cy)) / (d.r * d.r);
    if (d2 >= 1.0f) return false;
    celsius = kHotCelsius - 60.0f * d2;
    return true;
}

uint16_t ThermalScene::Detector(size_t i, double ideal, uint32_t n) const {
    // sqrt(6) turns the triangular unit into the standard deviation asked for.
    const double noise =
        settings_.noise > 0 ? settings_.noise * 2.449489743 * NoiseUnit(n, i) : 0.0;
    if (!settings_.fixedPattern) return Clamp(ideal + noise + 0.5);
    return Clamp(ideal * gain_[i] + offset_[i] + noise + 0.5);
}

void ThermalScene::Render(uint32_t n, std::span<uint16_t> out) const {
    if (out.size() < staticDigits_.size()) return;
    const Disc disc = HotDisc(n);
    const int x0 = std::max(0, static_cast<int>(disc.cx - disc.r));
    const int x1 = std::min<int>(width_, static_cast<int>(disc.cx + disc.r) + 1);
    const int y0 = std::max(0, static_cast<int>(disc.cy - disc.r));
    const int y1 = std::min<int>(height_, static_cast<int>(disc.cy + disc.r) + 1);
    for (uint32_t y = 0; y < height_; ++y) {
        for (uint32_t x = 0; x < width_; ++x) {
            const size_t i = size_t{y} * width_ + x;
            double ideal = staticDigits_[i];
            float celsius;
            if (int(y) >= y0 && int(y) < y1 && int(x) >= x0 && int(x) < x1 &&
                InDisc(disc, x, y, celsius)) {
                ideal = IdealDigits(celsius);
            }
            out[i] = Detector(i, ideal, n);
        }
    }
    if (!settings_.fixedPattern) return;
    for (uint32_t i : dead_) out[i] = kDeadValue;
    for (uint32_t i : hot_) out[i] = kHotValue;
}

float ThermalScene::TrueCelsius(uint32_t n, uint32_t x, uint32_t y) const {
    float celsius;
    if (InDisc(HotDisc(n), x, y, celsius)) return celsius;
    return StaticCelsius(x, y);
}

void ThermalScene::RenderUniform(float level, std::span<uint16_t> out) const {
    if (out.size() < gain_.size()) return;
    for (size_t i = 0; i < gain_.size(); ++i) out[i] = Clamp(level * gain_[i] + offset_[i]);
    for (uint32_t i : dead_) out[i] = kDeadValue;
    for (uint32_t i : hot_) out[i] = kHotValue;
}

}  // namespace camsim
