// 16- and 32-bit frames to the 24-bit BGR frames the AVI writer takes.
#pragma once

#include <cstdint>
#include <span>

namespace zelir {

// 16-bit pixels as in a DIB: little-endian words of 5 bits each of red, green and blue from
// bit 14 down (bit 15 unused); each channel is widened to 8 bits by repeating its top bits.
void Rgb555ToBgr(std::span<const uint8_t> words, std::span<uint8_t> bgr);

// 32-bit pixels of blue, green, red and a fourth byte that is dropped.
void BgraToBgr(std::span<const uint8_t> bgra, std::span<uint8_t> bgr);

}  // namespace zelir
