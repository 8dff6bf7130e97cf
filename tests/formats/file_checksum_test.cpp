#include "formats/file_checksum.h"

#include "support/unit.h"

namespace zelir::files {
namespace {

std::span<const uint8_t> Bytes(const std::string& text) {
    return std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

struct ChecksumVector {
    std::string input;
    uint32_t checksum;
};

class FileChecksumVectors : public testing::TestWithParam<ChecksumVector> {};

TEST_P(FileChecksumVectors, Match) {
    EXPECT_EQ(FileChecksum(Bytes(GetParam().input)), GetParam().checksum);
}

INSTANTIATE_TEST_SUITE_P(
    Known, FileChecksumVectors,
    testing::Values(ChecksumVector{"123456789", 0x4D3A139Eu},  // the check value
                    ChecksumVector{"", 0},
                    // Up to four bytes come out as themselves, big-endian.
                    ChecksumVector{"\xAB\xCD\xEF\x12", 0xABCDEF12u},
                    // The fifth byte is the first to go through the table: T[0x01] = 0x77073096.
                    ChecksumVector{std::string("\x01\x00\x00\x00\x00", 5), 0x77073096u}));

}  // namespace
}  // namespace zelir::files
