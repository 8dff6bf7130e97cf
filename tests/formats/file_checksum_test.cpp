#include "formats/file_checksum.h"

#include "support/unit.h"

namespace zelir::files {
namespace {

namespace test = ::zelir_test;

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

struct FileRange {
    int64_t start;
    int64_t end;
    int64_t expectedEnd;  // where the checksummed bytes stop (end of file cuts the range)
};

class FileChecksumOfOpenFile : public testing::TestWithParam<FileRange> {};

TEST_P(FileChecksumOfOpenFile, CoversTheRangeAndRestoresThePosition) {
    test::ScratchDir dir;
    const auto data = test::Pattern(1500);  // several 512-byte chunks
    test::WriteBytes(dir / "data.bin", data);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        std::fopen((dir / "data.bin").c_str(), "rb"), &std::fclose);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fseek(file.get(), 123, SEEK_SET), 0);

    const FileRange& range = GetParam();
    uint32_t checksum = 1;
    ASSERT_TRUE(FileChecksum(file.get(), range.start, range.end, checksum));
    EXPECT_EQ(checksum,
              FileChecksum(std::span(data).subspan(range.start, range.expectedEnd - range.start)));
    EXPECT_EQ(std::ftell(file.get()), 123);
}

INSTANTIATE_TEST_SUITE_P(Ranges, FileChecksumOfOpenFile,
                         testing::Values(FileRange{0, 512, 512}, FileRange{0, 513, 513},
                                         FileRange{100, 1100, 1100},
                                         FileRange{700, 5000, 1500},  // stops at end of file
                                         FileRange{10, 10, 10}));

}  // namespace
}  // namespace zelir::files
