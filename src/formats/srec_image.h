// The binary image of one S-record file, and writing images to binary files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace zelir {

inline constexpr size_t kSrecImageCapacity = 0x300000;
inline constexpr uint32_t kSrecNoStart = 0xFFFFFFFF;

struct SrecImage {
    // Owned until handed to a caller, who gives it back through ZelIr_FreeSrecImage.
    std::unique_ptr<uint8_t[]> bytes;
    size_t length = 0;
    uint32_t start = kSrecNoStart;
    // More S3 data than kSrecImageCapacity: `bytes` is null.
    bool refused = false;

    std::span<const uint8_t> view() const { return {bytes.get(), bytes ? length : 0}; }
};

// Appends the data of every S3 record of the file in file order; lines that do not decode and
// other record types are skipped. An unreadable file gives an empty image.
SrecImage ReadSrecImage(const char* path);

// Writes `bytes` as a new file at `path`.
void WriteBinaryImage(const char* path, std::span<const uint8_t> bytes);

}  // namespace zelir
