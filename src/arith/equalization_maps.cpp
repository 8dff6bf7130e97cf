#include "equalization_maps.h"

#include <algorithm>
#include <cmath>

#include "mapping_input.h"
#include "plateau_equalization.h"
#include "tone_curve.h"

namespace zelir::arith {

LutRange BuildPlateauLut(const DigitHistogram& histogram, std::uint16_t first, std::uint16_t second,
                         WorkingBuffers& work, GreyLut& lut) {
    PlateauEqualization(histogram, first, second, work.greys);
    const LutRange range{histogram.Min(), histogram.Max()};
    for (unsigned v = range.first; v <= range.last; ++v) {
        lut[v] = static_cast<std::uint8_t>(work.greys[v - range.first] + 0.5f);
    }
    return range;
}

void MixedLinearEqualized(const MappingInput& in, double share, double contrast,
                          double brightness) {
    // The linear part is the automatic linear map with the default KTHR: at least 51 digit
    // values between black and white.
    constexpr double kMinimumSpan = 255.0 * 0.2;
    const double middle = (double(in.low) + in.high) / 2.0;
    const double half = std::max(double(in.high) - in.low, kMinimumSpan) / 2.0;
    const double bottom = middle - half, slope = 255.0 / (2.0 * half);

    PlateauEqualization(in.histogram, in.low, in.high, in.work.greys);
    GreyLut& lut = in.lut;
    const LutRange range{in.histogram.Min(), in.histogram.Max()};
    for (unsigned v = range.first; v <= range.last; ++v) {
        const double linear = std::clamp((v - bottom) * slope, 0.0, 255.0);
        const double grey = (1.0 - share) * linear + share * in.work.greys[v - range.first];
        lut[v] = static_cast<std::uint8_t>(
            std::clamp(std::floor(ToneAt(grey, contrast, brightness) + 0.5), 0.0, 255.0));
    }
    ApplyLut(in.src, in.dst, lut, range);
}

}  // namespace zelir::arith
