// Light filters on the 8-bit image after mapping; src may equal dst.
#pragma once

#include <cstdint>
#include <vector>

namespace zelir::arith {

// Replaces a pixel by the median of its 3x3 neighbourhood only where it stands out from that
// median by more than `threshold` grey levels: speckle goes, edges and fine texture stay.
void ImpulseDenoise(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int threshold,
                    std::vector<std::uint8_t>& rows);

// Unsharp mask on the 3x3 mean: out = in + amount% x (in - mean).
void Sharpen(const std::uint8_t* src, std::uint8_t* dst, int w, int h, int amountPercent,
             std::vector<std::uint8_t>& rows);

}  // namespace zelir::arith
