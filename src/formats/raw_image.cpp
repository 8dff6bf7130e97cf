#include "formats/raw_image.h"

#include <array>

namespace zelir::files {
namespace {

constexpr std::array<RawImageSize, 10> kSizes{{
    {221184, 384, 288, 0},
    {222720, 384, 288, 1536},
    {153600, 320, 240, 0},
    {154880, 320, 240, 1280},
    {163200, 320, 255, 0},
    {163840, 320, 256, 0},
    {614400, 640, 480, 0},
    {655360, 640, 512, 0},
    {2621440, 1280, 1024, 0},
    {3456, 48, 36, 0},
}};

constexpr bool RowsAddUp() {
    for (const RawImageSize& s : kSizes) {
        if (s.fileBytes != s.leadingBytes + uint32_t{s.width} * s.height * 2) return false;
        if (s.leadingBytes != 0 && s.leadingBytes != uint32_t{s.width} * 4) return false;
    }
    return true;
}
static_assert(RowsAddUp(), "each size is the leading rows plus one Y16 frame");

}  // namespace

std::span<const RawImageSize> RawImageSizes() {
    return kSizes;
}

const RawImageSize* FindRawImageSize(uint64_t fileBytes) {
    for (const RawImageSize& s : kSizes) {
        if (s.fileBytes == fileBytes) return &s;
    }
    return nullptr;
}

FileResult ReadRawImage(const ByteSource& file, std::span<uint8_t> frame, RawImageSize& size) {
    const RawImageSize* found = FindRawImageSize(file.Size());
    if (found == nullptr) return FileResult::kUnknownSize;
    if (frame.size() < found->FrameBytes()) return FileResult::kBufferTooSmall;
    if (!file.ReadExact(found->leadingBytes, frame.first(found->FrameBytes()))) {
        return FileResult::kTruncated;
    }
    size = *found;
    return FileResult::kOk;
}

FileResult ReadRawImageFile(const std::filesystem::path& path, std::span<uint8_t> frame,
                            RawImageSize& size) {
    const FileSource file(path);
    if (!file.IsOpen()) return FileResult::kCannotOpen;
    return ReadRawImage(file, frame, size);
}

std::filesystem::path CompanionRawPath(const std::filesystem::path& imagePath) {
    return std::filesystem::path(imagePath.native() + ".raw");
}

FileResult WriteRawImageFile(const std::filesystem::path& path, std::span<const uint8_t> digits) {
    return WriteWholeFile(path, digits);
}

}  // namespace zelir::files
