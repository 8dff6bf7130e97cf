#include "thermal_scene.h"

#include <algorithm>
#include <cmath>

namespace camsim {
namespace {

// Small deterministic generator: the same camera shows the same fixed pattern every run.
struct Lcg {
    uint32_t state;
    float Unit() {  // -1 .. 1
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / static_cast<float>(1u << 23) - 1.0f;
    }
};

uint16_t Clamp(float v) {
    return static_cast<uint16_t>(std::clamp(v, 0.0f, static_cast<float>(ThermalScene::kMaxValue)));
}

}  // namespace

ThermalScene::ThermalScene(uint32_t width, uint32_t height)
    : width_(width),
      height_(height),
      background_(size_t{width} * height),
      gain_(background_.size()),
      offset_(background_.size()) {
    Lcg rng{0x5EEDu};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const size_t i = size_t{y} * width + x;
            gain_[i] = 1.0f + 0.03f * rng.Unit();
            offset_[i] = 40.0f * rng.Unit();
            const float scene = 6000.0f + 2500.0f * x / width + 1200.0f * y / height;
            background_[i] = Clamp(scene * gain_[i] + offset_[i]);
        }
    }
    const uint32_t pixels = width * height;
    for (uint32_t k = 1; k <= 3; ++k) {
        dead_.push_back((pixels / 5 * k + 17 * k) % pixels);
        hot_.push_back((pixels / 7 * (k + 1) + 29 * k) % pixels);
    }
}

void ThermalScene::Render(uint32_t n, std::span<uint16_t> out) const {
    if (out.size() < background_.size()) return;
    std::copy(background_.begin(), background_.end(), out.begin());

    // Warm object: a disc of radius h/8 going round the centre once every 200 frames.
    const float angle = 2.0f * 3.14159265f * static_cast<float>(n % 200) / 200.0f;
    const float cx = width_ * (0.5f + 0.3f * std::cos(angle));
    const float cy = height_ * (0.5f + 0.3f * std::sin(angle));
    const float r = std::max(2.0f, height_ / 8.0f);
    const int x0 = std::max(0, static_cast<int>(cx - r)), x1 = std::min<int>(width_, cx + r + 1);
    const int y0 = std::max(0, static_cast<int>(cy - r)), y1 = std::min<int>(height_, cy + r + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const float d2 = ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (r * r);
            if (d2 >= 1.0f) continue;
            const size_t i = size_t(y) * width_ + x;
            out[i] = Clamp(out[i] + 4000.0f * (1.0f - d2) * gain_[i]);
        }
    }
    for (uint32_t i : dead_) out[i] = kDeadValue;
    for (uint32_t i : hot_) out[i] = kHotValue;
}

void ThermalScene::RenderUniform(float level, std::span<uint16_t> out) const {
    if (out.size() < background_.size()) return;
    for (size_t i = 0; i < background_.size(); ++i) out[i] = Clamp(level * gain_[i] + offset_[i]);
    for (uint32_t i : dead_) out[i] = kDeadValue;
    for (uint32_t i : hot_) out[i] = kHotValue;
}

}  // namespace camsim
