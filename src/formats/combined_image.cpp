#include "formats/combined_image.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "formats/bmp_file.h"
#include "formats/file_checksum.h"
#include "formats/parameter_line.h"

namespace zelir::files {
namespace {

constexpr float kKthrFloor = 0.001f;
constexpr float kKthrDefault = 0.2f;

std::span<const uint8_t> BytesOf(const auto& value) {
    return std::span(reinterpret_cast<const uint8_t*>(&value), sizeof(value));
}

std::span<uint8_t> WritableBytesOf(auto& value) {
    return std::span(reinterpret_cast<uint8_t*>(&value), sizeof(value));
}

// Writes pieces front to back and keeps the checksum of everything written.
class ChecksummedWriter {
  public:
    explicit ChecksummedWriter(FileWriter& writer) : writer_(writer) {}
    void Put(std::span<const uint8_t> bytes) {
        checksum_ = UpdateFileChecksum(checksum_, bytes);
        writer_.Write(bytes);
    }
    void PutChecksum() { writer_.WriteStruct(checksum_); }

  private:
    FileWriter& writer_;
    uint32_t checksum_ = 0;
};

}  // namespace

FileResult WriteCombinedImageFile(const std::filesystem::path& path,
                                  const CombinedImageContent& content) {
    if (content.block == nullptr || !IsWholeBitmap(content.bitmap)) return FileResult::kBadInput;
    const ZelIrParameterBlock& block = *content.block;
    const uint32_t frameBytes = uint32_t{block.width} * block.height * 2;
    if (content.digits.size() < frameBytes) return FileResult::kBadInput;

    const uint64_t bitmapBytes = content.bitmap.size();
    const uint64_t analysisAt = bitmapBytes + kIrSectionHeaderSize + sizeof(uint16_t) +
                                kStoredParameterBlockSize + frameBytes;
    if (analysisAt + content.analysis.size() > UINT32_MAX) return FileResult::kBadInput;

    IrSectionHeader header{};
    header.version = 1;
    header.kind = 6;
    header.parameterOffset = kIrSectionHeaderSize;
    header.dataLength = kStoredParameterBlockSize + frameBytes + sizeof(uint16_t);
    if (!content.analysis.empty()) {
        header.analysisOffset = static_cast<uint32_t>(analysisAt);
        header.analysisLength = static_cast<uint32_t>(content.analysis.size());
    }

    // The file's copy of the block may carry another parameter line size; the caller's stays.
    auto stored = std::make_unique<ZelIrParameterBlock>(block);
    if (content.storedLineSize) stored->paramLineSize = *content.storedLineSize;

    FileWriter file(path);
    if (!file.IsOpen()) return FileResult::kCannotOpen;
    ChecksummedWriter out(file);
    out.Put(content.bitmap);
    out.Put(BytesOf(kIrSectionHeaderSize));
    out.Put(BytesOf(header));
    out.Put(BytesOf(kStoredParameterBlockSize));
    out.Put(BytesOf(*stored));
    out.Put(content.digits.first(frameBytes));
    out.Put(content.analysis);
    out.PutChecksum();
    return file.Finish();
}

FileResult ReadCombinedImage(const ByteSource& file, ZelIrParameterBlock& block,
                             std::span<uint8_t> frame, std::span<uint8_t> analysis,
                             CombinedImageInfo& info) {
    BITMAPFILEHEADER bitmapHead;
    if (!file.ReadStruct(0, bitmapHead)) return FileResult::kTruncated;
    if (bitmapHead.bfType != kBitmapSignature) return FileResult::kNotBitmap;
    const uint64_t sectionAt = bitmapHead.bfSize;
    if (file.Size() < sectionAt) return FileResult::kTruncated;

    uint32_t headerSize = 0;
    if (!file.ReadStruct(sectionAt, headerSize)) return FileResult::kNoIrSection;
    // A smaller header size would leave part of the IR section header unread; such files are
    // refused rather than guessed at.
    if (headerSize != kIrSectionHeaderSize) return FileResult::kBadHeaderSize;
    IrSectionHeader header;
    if (!file.ReadStruct(sectionAt + sizeof(headerSize), header)) return FileResult::kTruncated;
    if (header.parameterOffset == 0) return FileResult::kNoParameterOffset;

    const uint64_t sizeAt = sectionAt + header.parameterOffset;
    uint16_t storedSize = 0;
    if (!file.ReadStruct(sizeAt, storedSize)) return FileResult::kTruncated;
    // A stored block longer than ours would not fit it.
    if (storedSize < kMinStoredParameterSize || storedSize > kStoredParameterBlockSize) {
        return FileResult::kBadParameterSize;
    }

    // Worked on in a copy, so a refused file leaves the caller's block as it was.
    auto loaded = std::make_unique<ZelIrParameterBlock>(block);
    const std::span<uint8_t> loadedBytes = WritableBytesOf(*loaded);
    const uint64_t blockAt = sizeAt + sizeof(storedSize);
    // The width and height are taken from the first 64 stored bytes before anything else.
    if (!file.ReadExact(blockAt, loadedBytes.first(64))) return FileResult::kTruncated;
    const uint16_t width = loaded->width;
    const uint16_t height = loaded->height;
    const uint32_t frameBytes = uint32_t{width} * height * 2;
    if (header.dataLength != uint64_t{storedSize} + frameBytes + sizeof(uint16_t)) {
        return FileResult::kLengthMismatch;
    }
    if (width == 0 || height == 0 || width > kCombinedMaxWidth || height > kCombinedMaxHeight) {
        return FileResult::kBadGeometry;
    }
    if (frame.size() < frameBytes) return FileResult::kBufferTooSmall;

    if (!file.ReadExact(blockAt, loadedBytes.first(storedSize))) return FileResult::kTruncated;
    // A threshold of (nearly) zero, or one that is not a number, would stall the automatic map.
    if (!std::isfinite(loaded->kthr) || std::fabs(loaded->kthr) < kKthrFloor) {
        loaded->kthr = kKthrDefault;
    }

    const std::span<uint8_t> image = frame.first(frameBytes);
    if (!file.ReadExact(blockAt + storedSize, image)) return FileResult::kTruncated;

    uint16_t analysisBytes = 0;
    if (header.analysisOffset != 0 && header.analysisLength >= 1 &&
        header.analysisLength <= kAnalysisBlockCapacity) {
        if (analysis.size() < header.analysisLength) return FileResult::kBufferTooSmall;
        // A block the file announces but does not hold means a damaged file.
        if (!file.ReadExact(header.analysisOffset, analysis.first(header.analysisLength))) {
            return FileResult::kTruncated;
        }
        analysisBytes = static_cast<uint16_t>(header.analysisLength);
    }

    const bool hasLine = IsValidParameterLine(image, width, height);
    if (hasLine) AdoptParameterLine(*loaded, image.first<kParameterLineBytes>());

    block = *loaded;
    info = CombinedImageInfo{width, height, bitmapHead.bfSize, analysisBytes, hasLine};
    return FileResult::kOk;
}

FileResult ReadCombinedImageFile(const std::filesystem::path& path, ZelIrParameterBlock& block,
                                 std::span<uint8_t> frame, std::span<uint8_t> analysis,
                                 CombinedImageInfo& info) {
    const FileSource file(path);
    if (!file.IsOpen()) return FileResult::kCannotOpen;
    return ReadCombinedImage(file, block, frame, analysis, info);
}

}  // namespace zelir::files
