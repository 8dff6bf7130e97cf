// The 32-bit checksum that closes every combined image file.
//
// It uses the table of the reflected CRC-32 but shifts left without reflecting the data, starts
// at 0 and has no final XOR: "123456789" gives 0x4D3A139E, and up to four bytes give themselves
// read as a big-endian number. Readers do not verify it; writers must produce it exactly.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>

namespace zelir::files {

// The 256-entry table: T[0] = 0, T[1] = 0x77073096, T[255] = 0x2D02EF8D.
const std::array<uint32_t, 256>& FileChecksumTable();

// Continues a checksum over `bytes` in order.
uint32_t UpdateFileChecksum(uint32_t checksum, std::span<const uint8_t> bytes);

inline uint32_t FileChecksum(std::span<const uint8_t> bytes) {
    return UpdateFileChecksum(0, bytes);
}

// Checksum of the bytes [start, end) of an open file, read in chunks of at most 512 bytes and
// ending early at end of file. The file position is restored. False when the file cannot seek.
bool FileChecksum(std::FILE* file, int64_t start, int64_t end, uint32_t& checksum);

}  // namespace zelir::files
