// Gaussian blur of a float plane, approximated by three box passes per direction: a cost per
// pixel that does not grow with the radius, which is what retinex scales need.
#pragma once

#include <cstddef>

namespace zelir::arith {

// Blurs `plane` (w x h) in place; `line` needs room for max(w, h) + 2 * radius floats and
// `sums` for w floats. Edges repeat the border pixels.
void GaussianBlur(float* plane, int w, int h, double sigma, float* line, float* sums);

// Room `line` and `sums` need for a blur of this sigma.
std::size_t BlurLineRoom(int w, int h, double sigma);

// Average of each factor x factor block (partial blocks at the right and bottom edges average
// what they hold). Result size: ceil(w / factor) x ceil(h / factor).
void Downsample(const float* plane, int w, int h, int factor, float* out);

}  // namespace zelir::arith
