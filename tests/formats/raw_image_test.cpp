#include "formats/raw_image.h"

#include "support/unit.h"

namespace zelir::files {
namespace {

namespace test = ::zelir_test;

struct SizeRow {
    uint32_t fileBytes;
    uint16_t width, height;
    uint32_t leadingBytes;
    uint8_t headerLines;
};

class RawImageSizeTable : public testing::TestWithParam<SizeRow> {};

TEST_P(RawImageSizeTable, FileOfThisSizeReadsAsThisGeometry) {
    const SizeRow& row = GetParam();
    const auto file = test::Pattern(row.fileBytes, 5);
    std::vector<uint8_t> frame(1280 * 1024 * 2 + 1, 0xCC);
    RawImageSize size{};
    ASSERT_EQ(ReadRawImage(SpanSource(file), frame, size), FileResult::kOk);
    EXPECT_EQ(size.width, row.width);
    EXPECT_EQ(size.height, row.height);
    EXPECT_EQ(size.leadingBytes, row.leadingBytes);
    EXPECT_EQ(size.HeaderLines(), row.headerLines);
    const size_t frameBytes = size_t{row.width} * row.height * 2;
    EXPECT_TRUE(
        std::equal(frame.begin(), frame.begin() + frameBytes, file.begin() + row.leadingBytes));
    EXPECT_EQ(frame[frameBytes], 0xCC);  // nothing written past the frame
}

// The first and last rows of the table, one with leading rows and the largest frame.
INSTANTIATE_TEST_SUITE_P(Rows, RawImageSizeTable,
                         testing::Values(SizeRow{221184, 384, 288, 0, 0},
                                         SizeRow{222720, 384, 288, 1536, 2},
                                         SizeRow{2621440, 1280, 1024, 0, 0},
                                         SizeRow{3456, 48, 36, 0, 0}));

class RawImageUnknownSize : public testing::TestWithParam<uint32_t> {};

TEST_P(RawImageUnknownSize, IsRefused) {
    const auto file = test::Pattern(GetParam());
    std::vector<uint8_t> frame(1280 * 1024 * 2);
    RawImageSize size{};
    EXPECT_EQ(ReadRawImage(SpanSource(file), frame, size), FileResult::kUnknownSize);
    EXPECT_EQ(FindRawImageSize(GetParam()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RawImageUnknownSize,
                         testing::Values(0u, 221183u, 221185u, 2621441u));

TEST(RawImage, FrameThatDoesNotFitTheBufferIsRefused) {
    const auto file = test::Pattern(3456);
    std::vector<uint8_t> frame(3455, 0xCC);
    RawImageSize size{};
    EXPECT_EQ(ReadRawImage(SpanSource(file), frame, size), FileResult::kBufferTooSmall);
    EXPECT_EQ(frame, std::vector<uint8_t>(3455, 0xCC));
}

TEST(RawImage, WriterThatCannotCreateItsFileLeavesNothing) {
    test::ScratchDir dir;
    EXPECT_EQ(WriteRawImageFile(dir / "missing" / "a.raw", test::Pattern(10)),
              FileResult::kCannotOpen);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace zelir::files
