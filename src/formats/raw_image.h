// The headerless raw image file (".raw"): its geometry told by its exact size, reading and writing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

#include "formats/file_io.h"
#include "formats/file_result.h"

namespace zelir::files {

// Whole frames per second a raw image's parameter block is given when the file is opened.
inline constexpr uint8_t kRawImageFrameRate = 25;

// One row of the size table. Leading bytes, where present, are two rows of parameter data.
struct RawImageSize {
    uint32_t fileBytes;
    uint16_t width;
    uint16_t height;
    uint32_t leadingBytes;

    uint32_t FrameBytes() const { return uint32_t{width} * height * 2; }
    // Rows of parameter data ahead of the image (0 or 2), for the parameter block.
    uint8_t HeaderLines() const { return static_cast<uint8_t>(leadingBytes / (width * 2u)); }
};

// Every file size a raw image may have.
std::span<const RawImageSize> RawImageSizes();

// The table row for a file of `fileBytes` bytes, or null when no geometry has that size.
const RawImageSize* FindRawImageSize(uint64_t fileBytes);

// Recognises the geometry, skips the leading rows and reads the Y16 frame into the first
// FrameBytes() bytes of `frame`. Refuses unknown sizes (kUnknownSize) and a frame that does
// not fit (kBufferTooSmall).
FileResult ReadRawImage(const ByteSource& file, std::span<uint8_t> frame, RawImageSize& size);
FileResult ReadRawImageFile(const std::filesystem::path& path, std::span<uint8_t> frame,
                            RawImageSize& size);

// The raw file saved beside an image: the image's path with ".raw" appended (a.bmp -> a.bmp.raw).
std::filesystem::path CompanionRawPath(const std::filesystem::path& imagePath);

// Writes the digit array alone, as it is.
FileResult WriteRawImageFile(const std::filesystem::path& path, std::span<const uint8_t> digits);

}  // namespace zelir::files
