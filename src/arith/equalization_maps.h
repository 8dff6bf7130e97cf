// Maps from digit values to grey levels built from the frame's histogram: plateau
// equalisation between two limits, alone or blended with the linear map.
#pragma once

#include <cstdint>

#include "digit_histogram.h"
#include "grey_lut.h"
#include "working_buffers.h"

namespace zelir::arith {

// Table over the histogram's range for plateau equalisation between `first` and `second`.
LutRange BuildPlateauLut(const DigitHistogram& histogram, std::uint16_t first, std::uint16_t second,
                         WorkingBuffers& work, GreyLut& lut);

}  // namespace zelir::arith
