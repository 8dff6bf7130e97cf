#include "formats/bmp_file.h"

#include <cstring>

#include "formats/file_io.h"

namespace zelir::files {
namespace {

// Copies nothing for an empty span, whose data pointer may be null.
void CopyBytes(uint8_t* out, const void* from, size_t count) {
    if (count != 0) std::memcpy(out, from, count);
}

}  // namespace

BITMAPINFOHEADER CurrentImageInfoHeader(uint16_t width, uint16_t height) {
    BITMAPINFOHEADER info{};
    info.biSize = kBitmapInfoHeaderSize;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 8;
    info.biCompression = 0;
    info.biSizeImage = uint32_t{width} * height;
    info.biClrUsed = kCurrentImagePaletteEntries;
    return info;
}

FileResult BuildBitmap(const BITMAPINFOHEADER& info, std::span<const RGBQUAD> palette,
                       std::span<const uint8_t> pixels, std::vector<uint8_t>& bitmap) {
    if (info.biSize != kBitmapInfoHeaderSize) return FileResult::kBadInput;
    if (palette.size() < info.biClrUsed || pixels.size() < info.biSizeImage) {
        return FileResult::kBadInput;
    }
    const uint64_t offBits = sizeof(BITMAPFILEHEADER) + kBitmapInfoHeaderSize +
                             uint64_t{info.biClrUsed} * sizeof(RGBQUAD);
    const uint64_t total = offBits + info.biSizeImage;
    if (total > UINT32_MAX) return FileResult::kBadInput;

    BITMAPFILEHEADER head{};
    head.bfType = kBitmapSignature;
    head.bfSize = static_cast<uint32_t>(total);
    head.bfOffBits = static_cast<uint32_t>(offBits);

    bitmap.resize(total);
    uint8_t* out = bitmap.data();
    std::memcpy(out, &head, sizeof(head));
    std::memcpy(out + sizeof(head), &info, sizeof(info));
    CopyBytes(out + sizeof(head) + sizeof(info), palette.data(),
              size_t{info.biClrUsed} * sizeof(RGBQUAD));
    CopyBytes(out + offBits, pixels.data(), info.biSizeImage);
    return FileResult::kOk;
}

bool IsWholeBitmap(std::span<const uint8_t> bitmap) {
    BITMAPFILEHEADER head;
    if (bitmap.size() < sizeof(head)) return false;
    std::memcpy(&head, bitmap.data(), sizeof(head));
    return head.bfType == kBitmapSignature && head.bfSize == bitmap.size();
}

FileResult WriteBitmapFile(const std::filesystem::path& path, std::span<const uint8_t> bitmap) {
    if (!IsWholeBitmap(bitmap)) return FileResult::kBadInput;
    return WriteWholeFile(path, bitmap);
}

}  // namespace zelir::files
