// The automatic and the manual linear map between the limits of a histogram record.
#pragma once

#include <zelir/zelir.h>

#include "grey_lut.h"

namespace zelir::arith {

struct LinearMapSettings {
    float kthr = 0.2f;
    float contrast = 50.0f;
    float brightness = 50.0f;
};

// The span between the record's limits (at least 255 * KTHR digits, widened about its middle),
// scaled by the contrast about its middle and shifted by the brightness, onto 0..255.
void LinearMap(const HISTOGRAM_INFO& info, LinearMapSettings settings,
               std::span<const std::uint16_t> src, std::span<std::uint8_t> dst);

}  // namespace zelir::arith
