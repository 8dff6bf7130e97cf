// The 8-bit BMP part of image files: assembling it in memory and saving it as a plain BMP.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "formats/file_result.h"

namespace zelir::files {

inline constexpr uint16_t kBitmapSignature = 0x4D42;  // "BM"
inline constexpr uint32_t kBitmapInfoHeaderSize = sizeof(BITMAPINFOHEADER);
inline constexpr uint32_t kCurrentImagePaletteEntries = 256;

// The info header of a current image: width x height, bottom-up, 8 bits, 256 palette entries,
// width x height pixel bytes with rows not padded (every camera width is a multiple of 4).
BITMAPINFOHEADER CurrentImageInfoHeader(uint16_t width, uint16_t height);

// Assembles file header, info header (copied unchanged), biClrUsed palette entries and
// biSizeImage pixel bytes; bfOffBits and bfSize follow from biClrUsed and biSizeImage.
// Refuses (kBadInput) an info header whose biSize is not 40, a palette or pixel span shorter
// than the header says, and a total beyond 32 bits.
FileResult BuildBitmap(const BITMAPINFOHEADER& info, std::span<const RGBQUAD> palette,
                       std::span<const uint8_t> pixels, std::vector<uint8_t>& bitmap);

// True when `bitmap` starts with a "BM" file header whose bfSize is exactly its length.
bool IsWholeBitmap(std::span<const uint8_t> bitmap);

// Saves a BMP part as a plain BMP file.
FileResult WriteBitmapFile(const std::filesystem::path& path, std::span<const uint8_t> bitmap);

}  // namespace zelir::files
