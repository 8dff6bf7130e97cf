#include "grey_lut.h"

#include <algorithm>
#include <cmath>

namespace zelir::arith {

void BuildLinearLut(GreyLut& lut, LutRange range, double low, double high, double shift) {
    const double scale = 255.0 / (high - low);
    const double base = shift + 0.5 - low * scale;
    for (unsigned v = range.first; v <= range.last; ++v) {
        double grey = base + v * scale;
        lut[v] = static_cast<std::uint8_t>(std::clamp(grey, 0.0, 255.0));
    }
}

void ApplyLut(std::span<const std::uint16_t> src, std::span<std::uint8_t> dst, const GreyLut& lut,
              LutRange range) {
    const std::size_t n = std::min(src.size(), dst.size());
    const std::uint16_t* s = src.data();
    std::uint8_t* d = dst.data();
    const std::uint8_t* table = lut.data();
    for (std::size_t i = 0; i < n; ++i) {
        d[i] = table[std::clamp(s[i], range.first, range.last)];
    }
}

double ClampSetting(double value) {
    return std::isfinite(value) ? std::clamp(value, 0.0, 100.0) : 50.0;
}

double BrightnessShift(double brightness) {
    return (ClampSetting(brightness) - 50.0) * 2.55;
}

}  // namespace zelir::arith
