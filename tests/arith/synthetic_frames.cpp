#include "synthetic_frames.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <random>

namespace arith_test {

std::vector<std::uint16_t> Scene(int w, int h, int low, int high, int noise, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> jitter(-noise, noise);
    std::vector<std::uint16_t> frame(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double value = low + (high - low) * 0.6 * x / (w - 1);
            const double dx = x - w * 0.65, dy = y - h * 0.5;
            if (dx * dx + dy * dy < (h * 0.2) * (h * 0.2)) value = low + (high - low) * 0.95;
            value += jitter(random);
            frame[static_cast<std::size_t>(y) * w + x] =
                static_cast<std::uint16_t>(std::clamp(value, 0.0, 65535.0));
        }
    }
    return frame;
}

std::vector<std::uint16_t> Uniform(int w, int h, std::uint16_t value) {
    return std::vector<std::uint16_t>(static_cast<std::size_t>(w) * h, value);
}

bool BrightnessAndContrastRise(
    const std::function<std::vector<std::uint8_t>(int contrast, int brightness)>& map,
    const std::vector<int>& settings) {
    std::vector<double> means, spreads;
    for (int setting : settings) {
        means.push_back(Mean(map(50, setting)));
        spreads.push_back(StdDev(map(setting, 50)));
    }
    const auto rising = [](const std::vector<double>& v) {
        return std::adjacent_find(v.begin(), v.end(), std::greater_equal<>()) == v.end();
    };
    return rising(means) && rising(spreads);
}

bool MonotonicAndSaturated(const std::vector<std::uint16_t>& frame,
                           const std::vector<std::uint8_t>& grey, int low, int high) {
    std::vector<std::size_t> order(frame.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](auto a, auto b) { return frame[a] < frame[b]; });
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::size_t p = order[i];
        if ((i > 0 && grey[p] < grey[order[i - 1]]) || (frame[p] <= low && grey[p] != 0) ||
            (frame[p] >= high && grey[p] != 255)) {
            return false;
        }
    }
    return true;
}

Sensor::Sensor(int width, int height, unsigned seed) : w(width), h(height) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> gains(0.85, 1.15), offsets(-300.0, 300.0);
    gain.resize(static_cast<std::size_t>(w) * h);
    offset.resize(gain.size());
    for (std::size_t i = 0; i < gain.size(); ++i) {
        gain[i] = gains(random);
        offset[i] = offsets(random);
    }
}

std::vector<std::uint16_t> Sensor::Frame(double flux, int noise, unsigned seed) const {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> jitter(-noise, noise);
    std::vector<std::uint16_t> frame(gain.size());
    for (std::size_t i = 0; i < frame.size(); ++i) {
        const double value = gain[i] * flux + offset[i] + (noise ? jitter(random) : 0);
        frame[i] = static_cast<std::uint16_t>(std::clamp(std::lround(value), 0L, 65535L));
    }
    return frame;
}

std::vector<std::uint16_t> Sensor::SceneFrame(double low, double high) const {
    std::vector<std::uint16_t> frame(gain.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            const double flux = low + (high - low) * (x + y) / (w + h - 2.0);
            frame[i] = static_cast<std::uint16_t>(
                std::clamp(std::lround(gain[i] * flux + offset[i]), 0L, 65535L));
        }
    }
    return frame;
}

HISTOGRAM_INFO Statistics(ZelIrArith& arith, const std::vector<std::uint16_t>& frame, int w, int h,
                          int bottomCut, int topCut) {
    HISTOGRAM_INFO info;
    std::memset(&info, 0, sizeof(info));
    info.bottomCut = bottomCut;
    info.topCut = topCut;
    arith.HistogramStatistics(frame.data(), nullptr, w, h, &info);
    return info;
}

bool Calibrate(ZelIrArith& arith, const Sensor& sensor, int frames, int noise, double lowFlux) {
    for (int k = 1; k <= frames; ++k) arith.SetLData(sensor.Frame(lowFlux, noise, k).data(), k);
    const bool low = arith.GetLData(0, true);
    for (int k = 1; k <= frames; ++k) arith.SetHData(sensor.Frame(9000, noise, 10 + k).data(), k);
    return arith.GetHData() && low && arith.CalcK();
}

std::vector<std::uint16_t> Corrected(ZelIrArith& arith, const std::vector<std::uint16_t>& raw,
                                     int w, int h) {
    auto frame = raw;
    arith.GenY16(frame.data(), w, h, true);
    return frame;
}

}  // namespace arith_test
