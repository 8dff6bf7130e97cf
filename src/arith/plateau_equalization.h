// Plateau histogram equalisation between two limits.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "digit_histogram.h"

namespace zelir::arith {

// Grey level (0..255, real) of each digit value Min()..Max() of the histogram: 0 at and below
// `first`, 255 at and above `second`; in between the cumulative histogram of the occupied
// levels with every level clipped at the plateau (the mean count of the occupied levels), so a
// large uniform background cannot take the whole grey range. One occupied level maps to 127.5.
// `greys` is indexed by value - Min().
void PlateauEqualization(const DigitHistogram& histogram, std::uint16_t first, std::uint16_t second,
                         std::vector<float>& greys);

// The same on a plain count array (index = level), levels first..second.
void PlateauEqualization(std::span<const std::uint32_t> counts, std::size_t first,
                         std::size_t second, std::span<float> greys);

}  // namespace zelir::arith
