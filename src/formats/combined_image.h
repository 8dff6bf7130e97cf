// The combined image file (".bmp"): an 8-bit BMP followed by an IR section holding the parameter
// block, the Y16 frame, an optional analysis block and the file checksum.
#pragma once

#include <zelir/zelir.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

#include "formats/file_io.h"
#include "formats/file_result.h"

namespace zelir::files {

// The IR section header, stored right after the 4-byte header size that follows the BMP part.
struct ZELIR_PACKED IrSectionHeader {
    uint16_t version;  // 1
    uint16_t kind;     // 6
    uint32_t reserved4;
    uint32_t parameterOffset;  // offset of the stored parameter block size, counted from bfSize
    uint32_t dataLength;       // stored parameter block size + frame bytes + 2
    uint8_t reserved16[16];
    uint32_t analysisOffset;  // absolute file offset of the analysis block; 0 when none
    uint32_t analysisLength;  // 0 when none
    uint8_t reserved40[24];
};
static_assert(sizeof(IrSectionHeader) == 64);
static_assert(offsetof(IrSectionHeader, parameterOffset) == 8);
static_assert(offsetof(IrSectionHeader, dataLength) == 12);
static_assert(offsetof(IrSectionHeader, analysisOffset) == 32);
static_assert(offsetof(IrSectionHeader, analysisLength) == 36);

// The header size field: itself plus the IR section header.
inline constexpr uint32_t kIrSectionHeaderSize = sizeof(uint32_t) + sizeof(IrSectionHeader);
inline constexpr uint16_t kStoredParameterBlockSize = sizeof(ZelIrParameterBlock);
// Stored parameter blocks shorter than this are refused; longer than the block, too.
inline constexpr uint16_t kMinStoredParameterSize = 11;
inline constexpr uint16_t kCombinedMaxWidth = 1280;
inline constexpr uint16_t kCombinedMaxHeight = 1024;
// The stream's analysis block buffer; longer blocks in a file are passed over.
inline constexpr size_t kAnalysisBlockCapacity = 10000;

// What a combined image file is written from.
struct CombinedImageContent {
    std::span<const uint8_t> bitmap;         // a whole BMP part, as BuildBitmap makes it
    const ZelIrParameterBlock* block;        // stored whole; its width and height size the frame
    std::optional<uint16_t> storedLineSize;  // replaces the line size in the file's copy only
    std::span<const uint8_t> digits;         // the Y16 frame: at least width x height x 2 bytes
    std::span<const uint8_t> analysis;       // empty when the source holds no analysis block
};

// Writes the file in one pass, checksum last. Refuses (kBadInput) a BMP part that is not
// whole, a digit array shorter than the frame and a file whose offsets would pass 32 bits.
FileResult WriteCombinedImageFile(const std::filesystem::path& path,
                                  const CombinedImageContent& content);

// What a reader found besides the bytes it loaded.
struct CombinedImageInfo {
    uint16_t width;
    uint16_t height;
    uint32_t bitmapBytes;    // bfSize: where the IR section starts
    uint16_t analysisBytes;  // bytes loaded into the analysis span; 0 when none
    bool hasParameterLine;   // the frame began with a valid parameter line, now adopted
};

// Loads the stored parameter block over `block` (a KTHR below 0.001 in magnitude becomes 0.2),
// the frame into the start of `frame`, an analysis block of 1..10,000 bytes into `analysis`,
// and adopts a parameter line that opens the frame. `block` changes only on success; `frame`
// and `analysis` contents are undefined after a refusal. Frames above 1280 x 1024 or of zero
// size are refused (kBadGeometry).
FileResult ReadCombinedImage(const ByteSource& file, ZelIrParameterBlock& block,
                             std::span<uint8_t> frame, std::span<uint8_t> analysis,
                             CombinedImageInfo& info);
FileResult ReadCombinedImageFile(const std::filesystem::path& path, ZelIrParameterBlock& block,
                                 std::span<uint8_t> frame, std::span<uint8_t> analysis,
                                 CombinedImageInfo& info);

}  // namespace zelir::files
