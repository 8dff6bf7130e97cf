// Lookup tables from digit values to grey levels, and their application to a frame.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zelir::arith {

using GreyLut = std::array<std::uint8_t, 65536>;

// Digit range a table was built for; pixels outside are clamped into it.
struct LutRange {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
};

void ApplyLut(std::span<const std::uint16_t> src, std::span<std::uint8_t> dst, const GreyLut& lut,
              LutRange range);

// grey = (v - origin) * scale + offset, truncated into 0..255 (offset carries the rounding):
// the linear maps in vector arithmetic rather than through a table.
void MapLinear(std::span<const std::uint16_t> src, std::span<std::uint8_t> dst, int origin,
               float scale, float offset);

// Grey shift of a brightness setting 0..100 (50 = none): (b - 50) * 2.55.
double BrightnessShift(double brightness);
// Clamps a display setting into 0..100; anything not finite becomes 50.
double ClampSetting(double value);

}  // namespace zelir::arith
