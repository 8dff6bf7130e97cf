// What every grey-level algorithm starts from: the frame, its histogram and its limits.
#pragma once

#include <cstdint>
#include <span>

#include "digit_histogram.h"
#include "grey_lut.h"
#include "tone_curve.h"
#include "working_buffers.h"

namespace zelir::arith {

struct MappingInput {
    std::span<const std::uint16_t> src;
    std::span<std::uint8_t> dst;
    int w;
    int h;
    const DigitHistogram& histogram;  // counted from src
    std::uint16_t low;                // limits at the display cuts
    std::uint16_t high;
    WorkingBuffers& work;
    GreyLut& lut;
};

// Contrast-limited adaptive equalisation on tiles; `clip` is the clip limit as a multiple of
// the mean count of a level.
void ContrastLimitedEqualization(const MappingInput& in, double clip, const ToneCurve& tone);

// (1 - share) x linear between the limits + share x plateau equalisation, then the tone curve.
void MixedLinearEqualized(const MappingInput& in, double share, double contrast, double brightness);

// Multi-scale retinex in the log domain: the log image plus `gain` times the mean difference to
// its blurs at three scales, stretched between its own cut limits.
void RetinexEnhancement(const MappingInput& in, double gain, const ToneCurve& tone);

// Bilateral base/detail split: the base equalised with a plateau, the detail added with `gain`.
void BilateralDetailEnhancement(const MappingInput& in, double gain, const ToneCurve& tone);

}  // namespace zelir::arith
