// Brightness and contrast as a final curve on grey levels, the same for every algorithm:
// contrast c multiplies the distance from mid grey by 4^((c-50)/50), brightness b adds
// (b-50) * 2.55; both settings are clamped to 0..100 and 50/50 is the identity.
#pragma once

#include <array>
#include <cstdint>

namespace zelir::arith {

using ToneCurve = std::array<std::uint8_t, 256>;

double ContrastGain(double contrast);
ToneCurve BuildToneCurve(double contrast, double brightness);
// The curve at a grey level given as a real number (for tables built before rounding).
double ToneAt(double grey, double contrast, double brightness);

}  // namespace zelir::arith
