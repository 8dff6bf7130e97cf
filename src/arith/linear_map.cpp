#include "linear_map.h"

#include <algorithm>
#include <cmath>

namespace zelir::arith {

namespace {

// KTHR of the display settings when what arrives is unusable.
constexpr double kDefaultKthr = 0.2;
// At most one digit value per grey level can be shown: a smaller KTHR would only amplify noise.
constexpr double kSmallestKthr = 1.0 / 255.0;

}  // namespace

void LinearMap(const HISTOGRAM_INFO& info, LinearMapSettings settings,
               std::span<const std::uint16_t> src, std::span<std::uint8_t> dst) {
    double kthr = std::isfinite(settings.kthr) && settings.kthr > 0 ? settings.kthr : kDefaultKthr;
    kthr = std::clamp(kthr, kSmallestKthr, 65535.0 / 255.0);

    const int first = std::min(info.limit1, info.limit2);
    const int second = std::max(info.limit1, info.limit2);
    const double middle = (first + second) / 2.0;
    const double gain = std::pow(4.0, (ClampSetting(settings.contrast) - 50.0) / 50.0);
    const double halfSpan = std::max<double>(second - first, 255.0 * kthr) / 2.0 / gain;
    // Counted from the first limit, so that the limits themselves land exactly.
    const double scale = 255.0 / (2.0 * halfSpan);
    const double offset =
        (first - (middle - halfSpan)) * scale + BrightnessShift(settings.brightness) + 0.5;
    MapLinear(src, dst, first, static_cast<float>(scale), static_cast<float>(offset));
}

}  // namespace zelir::arith
