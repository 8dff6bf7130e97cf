#include "formats/avi_palette_expand.h"

#include <algorithm>
#include <cstring>

namespace zelir {

AviPalette PaletteOf(const BITMAPINFO& format) {
    const uint32_t used = format.bmiHeader.biClrUsed;
    const size_t entries = used == 0 || used > 256 ? 256 : used;
    AviPalette palette{};
    // The entries follow the header in the caller's memory; bmiColors declares only the first.
    std::memcpy(palette.data(),
                reinterpret_cast<const uint8_t*>(&format) + sizeof(BITMAPINFOHEADER),
                entries * sizeof(RGBQUAD));
    return palette;
}

void ExpandThroughPalette(std::span<const uint8_t> indices, const AviPalette& palette,
                          std::span<uint8_t> bgr) {
    const size_t count = std::min(indices.size(), bgr.size() / 3);
    uint8_t* out = bgr.data();
    for (size_t i = 0; i < count; ++i, out += 3) {
        const RGBQUAD& entry = palette[indices[i]];
        out[0] = entry.rgbBlue;
        out[1] = entry.rgbGreen;
        out[2] = entry.rgbRed;
    }
}

}  // namespace zelir
