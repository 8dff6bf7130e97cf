#include "formats/file_checksum.h"

#include <sys/types.h>
#include <algorithm>

namespace zelir::files {
namespace {

constexpr uint32_t Reflect(uint32_t value, int bits) {
    uint32_t result = 0;
    for (int i = 0; i < bits; ++i) {
        result = (result << 1) | ((value >> i) & 1u);
    }
    return result;
}

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = Reflect(i, 8) << 24;
        for (int bit = 0; bit < 8; ++bit) {
            r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        }
        table[i] = Reflect(r, 32);
    }
    return table;
}

// Built at compile time, so it exists before the first checksum.
constexpr std::array<uint32_t, 256> kTable = MakeTable();
static_assert(kTable[0] == 0 && kTable[1] == 0x77073096u && kTable[255] == 0x2D02EF8Du);

}  // namespace

const std::array<uint32_t, 256>& FileChecksumTable() {
    return kTable;
}

uint32_t UpdateFileChecksum(uint32_t checksum, std::span<const uint8_t> bytes) {
    for (const uint8_t b : bytes) {
        checksum = ((checksum << 8) | b) ^ kTable[checksum >> 24];
    }
    return checksum;
}

bool FileChecksum(std::FILE* file, int64_t start, int64_t end, uint32_t& checksum) {
    const off_t saved = ::ftello(file);
    if (saved < 0 || ::fseeko(file, start, SEEK_SET) != 0) return false;
    std::array<uint8_t, 512> chunk;
    uint32_t c = 0;
    for (int64_t at = start; at < end;) {
        const size_t want = static_cast<size_t>(std::min<int64_t>(end - at, chunk.size()));
        const size_t got = std::fread(chunk.data(), 1, want, file);
        c = UpdateFileChecksum(c, std::span(chunk.data(), got));
        if (got < want) break;
        at += static_cast<int64_t>(got);
    }
    checksum = c;
    return ::fseeko(file, saved, SEEK_SET) == 0;
}

}  // namespace zelir::files
