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

LutRange BuildLinearMapLut(const HISTOGRAM_INFO& info, LinearMapSettings settings, GreyLut& lut) {
    const LutRange range{std::min(info.minDigit, info.maxDigit),
                         std::max(info.minDigit, info.maxDigit)};
    double kthr = std::isfinite(settings.kthr) && settings.kthr > 0 ? settings.kthr : kDefaultKthr;
    kthr = std::clamp(kthr, kSmallestKthr, 65535.0 / 255.0);

    const double first = std::min(info.limit1, info.limit2);
    const double second = std::max(info.limit1, info.limit2);
    const double middle = (first + second) / 2.0;
    const double gain = std::pow(4.0, (ClampSetting(settings.contrast) - 50.0) / 50.0);
    const double halfSpan = std::max(second - first, 255.0 * kthr) / 2.0 / gain;
    BuildLinearLut(lut, range, middle - halfSpan, middle + halfSpan,
                   BrightnessShift(settings.brightness));
    return range;
}

}  // namespace zelir::arith
