// Digit values to at most 4096 levels between two limits: the working resolution of the
// equalising and filtering algorithms (a scene rarely spans more digit values than that between
// its limits, and when it does the step stays below the noise of the detector).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "digit_histogram.h"

namespace zelir::arith {

inline constexpr std::uint32_t kMaxLevels = 4096;

struct LevelScale {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    std::uint32_t levels = 1;  // levels 0 .. levels-1; 1 when low == high
};

LevelScale MakeLevelScale(std::uint16_t low, std::uint16_t high,
                          std::uint32_t maxLevels = kMaxLevels);

// Fills `levels` (one per pixel) through a table built over the histogram's Min()..Max();
// values beyond the limits take the end levels.
void QuantizeFrame(const DigitHistogram& histogram, LevelScale scale,
                   std::span<const std::uint16_t> src, std::uint16_t* levels,
                   std::vector<std::uint16_t>& table);

}  // namespace zelir::arith
