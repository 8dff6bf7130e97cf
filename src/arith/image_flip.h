// Vertical flip of an image in place.
#pragma once

#include <cstddef>

namespace zelir::arith {

// Reverses the order of `rows` rows of `rowBytes` bytes each.
void FlipRows(unsigned char* image, std::size_t rowBytes, int rows);

}  // namespace zelir::arith
