#include "synthetic_frames.h"

#include <algorithm>
#include <cmath>
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

double Mean(const std::vector<std::uint8_t>& image) {
    double sum = 0;
    for (auto v : image) sum += v;
    return sum / image.size();
}

double StdDev(const std::vector<std::uint8_t>& image) {
    const double mean = Mean(image);
    double sum = 0;
    for (auto v : image) sum += (v - mean) * (v - mean);
    return std::sqrt(sum / image.size());
}

}  // namespace arith_test
