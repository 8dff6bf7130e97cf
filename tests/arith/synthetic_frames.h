// Synthetic thermal frames for the arithmetic tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <numeric>
#include <vector>

#include "arith/zelir_arith.h"

namespace arith_test {

// A scene: a horizontal gradient from `low` to `high` digit values with a warm disc and
// deterministic noise of +- `noise`.
std::vector<std::uint16_t> Scene(int w, int h, int low = 3000, int high = 9000, int noise = 20,
                                 unsigned seed = 1);
std::vector<std::uint16_t> Uniform(int w, int h, std::uint16_t value);

template <typename Pixel>
double Mean(const std::vector<Pixel>& image) {
    return std::accumulate(image.begin(), image.end(), 0.0) / image.size();
}
// True when a warmer pixel is never darker, pixels at or below `low` are black and those at or
// above `high` white.
bool MonotonicAndSaturated(const std::vector<std::uint16_t>& frame,
                           const std::vector<std::uint8_t>& grey, int low, int high);
template <typename Pixel>
double StdDev(const std::vector<Pixel>& image) {
    const double mean = Mean(image);
    double sum = 0;
    for (auto v : image) sum += (v - mean) * (v - mean);
    return std::sqrt(sum / image.size());
}
// True when, at the given settings in rising order, brightness always raises the mean grey of
// `map(contrast, brightness)` (contrast 50) and contrast its spread (brightness 50).
bool BrightnessAndContrastRise(
    const std::function<std::vector<std::uint8_t>(int contrast, int brightness)>& map,
    const std::vector<int>& settings);

// The statistics of `frame` with the given cuts (per mille), from a zeroed record.
HISTOGRAM_INFO Statistics(ZelIrArith& arith, const std::vector<std::uint16_t>& frame, int w, int h,
                          int bottomCut = 5, int topCut = 5);

// A sensor with known per-pixel gain and offset: raw = gain * flux + offset.
struct Sensor {
    int w;
    int h;
    std::vector<double> gain;
    std::vector<double> offset;

    Sensor(int width, int height, unsigned seed = 7);
    // A uniform flux with deterministic temporal noise of +- `noise` digit values.
    std::vector<std::uint16_t> Frame(double flux, int noise = 0, unsigned seed = 1) const;
    // A scene: flux varying across the frame.
    std::vector<std::uint16_t> SceneFrame(double low, double high) const;
};

// Takes `frames` frames of each reference (4000 and 9000 flux, noise +- `noise`) as a stream
// would deliver them; true when the coefficients were computed.
bool Calibrate(ZelIrArith& arith, const Sensor& sensor, int frames = 1, int noise = 0,
               double lowFlux = 4000);
// `raw` after the correction, for a frame of the sensor's size.
std::vector<std::uint16_t> Corrected(ZelIrArith& arith, const std::vector<std::uint16_t>& raw,
                                     int w, int h);

}  // namespace arith_test
