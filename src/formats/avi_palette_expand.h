// 8-bit palette frames to 24-bit BGR frames.
#pragma once

#include <zelir/zelir.h>

#include <array>
#include <cstdint>
#include <span>

namespace zelir {

using AviPalette = std::array<RGBQUAD, 256>;

// The palette behind an 8-bit format's header: biClrUsed entries (256 when 0); entries past
// them are black, so that no index reads beyond what the caller supplied.
AviPalette PaletteOf(const BITMAPINFO& format);

// Writes blue, green, red of each index's entry; `bgr` holds 3 bytes per index.
void ExpandThroughPalette(std::span<const uint8_t> indices, const AviPalette& palette,
                          std::span<uint8_t> bgr);

}  // namespace zelir
