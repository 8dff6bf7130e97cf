#include "image_flip.h"

#include <algorithm>

namespace zelir::arith {

void FlipRows(unsigned char* image, std::size_t rowBytes, int rows) {
    for (int top = 0, bottom = rows - 1; top < bottom; ++top, --bottom) {
        unsigned char* a = image + static_cast<std::size_t>(top) * rowBytes;
        unsigned char* b = image + static_cast<std::size_t>(bottom) * rowBytes;
        std::swap_ranges(a, a + rowBytes, b);
    }
}

}  // namespace zelir::arith
