#include "grey_lut.h"

#include <algorithm>
#include <cmath>

#include "pixel_loop.h"

namespace zelir::arith {

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

namespace {

// The linear map in 16-bit lanes: t = min(v - start, top) for v >= start (else black),
// grey = (((t << shift) + bias) * factor >> 16) >> 6.
struct FixedLinear {
    std::uint16_t start;
    std::uint16_t top;
    std::uint16_t shift;
    std::uint16_t bias;
    std::uint16_t factor;
};

ZELIR_PIXEL_LOOP
void MapFixed(const std::uint16_t* s, std::uint8_t* d, std::size_t n, FixedLinear f) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint16_t v = s[i];
        std::uint16_t t = v > f.start ? std::uint16_t(v - f.start) : std::uint16_t(0);
        t = t < f.top ? t : f.top;
        const std::uint16_t u = std::uint16_t((t << f.shift) + f.bias);
        std::uint16_t grey = std::uint16_t((std::uint32_t(u) * f.factor) >> 16) >> 6;
        grey = v >= f.start ? grey : 0;
        d[i] = std::uint8_t(grey < 255 ? grey : 255);
    }
}

ZELIR_PIXEL_LOOP
void MapFloat(const std::uint16_t* s, std::uint8_t* d, std::size_t n, int origin, float scale,
              float offset) {
    for (std::size_t i = 0; i < n; ++i) {
        const float grey = float(int(s[i]) - origin) * scale + offset;
        d[i] = static_cast<std::uint8_t>(static_cast<int>(std::clamp(grey, 0.0f, 255.0f)));
    }
}

// Fixed-point form of grey = (v - origin) * scale + offset, when 16 bits hold it.
bool MakeFixedLinear(int origin, double scale, double offset, FixedLinear& f) {
    if (!(scale > 0)) return false;
    const double zero = origin - offset / scale;  // where the grey level reaches 0
    const double start = std::clamp(std::ceil(zero), 0.0, 65535.0);
    const double carry = start - zero;  // of the first value at or past the zero
    const double top = std::clamp(std::ceil(256.0 / scale - carry), 0.0, 65535.0);
    for (int shift = 15; shift >= 0; --shift) {
        const double bias = std::round(carry * (1 << shift));
        const double factor = std::round(scale * double(1 << 22) / (1 << shift));
        if ((top + carry + 1) * (1 << shift) > 65535.0 || bias > 65535.0) continue;
        if (factor > 65535.0) return false;
        f = {std::uint16_t(start), std::uint16_t(top), std::uint16_t(shift), std::uint16_t(bias),
             std::uint16_t(factor)};
        return true;
    }
    return false;
}

// The fixed-point form truncates a little low; this keeps exact grey levels (a uniform frame's
// 128.0) from falling to the level below.
constexpr double kRoundingGuard = 1.0 / 128.0;

}  // namespace

void MapLinear(std::span<const std::uint16_t> src, std::span<std::uint8_t> dst, int origin,
               float scale, float offset) {
    const std::size_t n = std::min(src.size(), dst.size());
    FixedLinear fixed;
    if (MakeFixedLinear(origin, scale, offset + kRoundingGuard, fixed)) {
        MapFixed(src.data(), dst.data(), n, fixed);
    } else {
        MapFloat(src.data(), dst.data(), n, origin, scale, offset);
    }
}

double ClampSetting(double value) {
    return std::isfinite(value) ? std::clamp(value, 0.0, 100.0) : 50.0;
}

double BrightnessShift(double brightness) {
    return (ClampSetting(brightness) - 50.0) * 2.55;
}

}  // namespace zelir::arith
