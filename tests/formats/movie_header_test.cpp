#include "formats/movie_header.h"

#include "support/unit.h"

namespace zelir::files {
namespace {

namespace test = ::zelir_test;
using test::Get;

std::tm Time(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

std::string TextAt(std::span<const uint8_t> bytes, size_t offset, size_t size) {
    return std::string(reinterpret_cast<const char*>(bytes.data() + offset), size);
}

std::span<const uint8_t> BytesOf(const MovieHeader& header) {
    return std::span(reinterpret_cast<const uint8_t*>(&header), sizeof(header));
}

// A movie file as a recorder leaves it: the header, then `frames` frames and `extra` bytes.
std::vector<uint8_t> Movie(uint16_t width, uint16_t height, uint32_t headerCount, uint32_t frames,
                           size_t extra = 0, uint16_t frameWidth = 0, uint16_t frameHeight = 0) {
    MovieHeader header = MakeMovieStartHeader("IRGIGE", Time(2024, 1, 2, 3, 4, 5));
    header.width = width;
    header.height = height;
    header.frameCount = headerCount;
    const size_t frameBytes =
        size_t{frameWidth ? frameWidth : width} * (frameHeight ? frameHeight : height) * 2;
    std::vector<uint8_t> file(BytesOf(header).begin(), BytesOf(header).end());
    const auto body = test::Pattern(frameBytes * frames + extra, 9);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

TEST(MovieHeader, StartHeaderHoldsTheTagWithItsTerminatorAndTheStartTimeOnly) {
    const MovieHeader header = MakeMovieStartHeader("ABCDEFGHIJKL", Time(2024, 3, 5, 7, 8, 9));
    const auto bytes = BytesOf(header);
    EXPECT_EQ(TextAt(bytes, 0, 10), std::string("ABCDEFGHI\0", 10));
    EXPECT_EQ(TextAt(bytes, 10, 20), std::string("2024 03 05 07:08:09\0", 20));
    EXPECT_EQ(std::count(bytes.begin() + 30, bytes.end(), 0), 34);
}

struct MovieCase {
    const char* name;
    uint16_t width, height;  // in the header
    uint32_t headerCount;
    uint32_t frames;                   // complete frames in the file
    size_t extra;                      // bytes of a partial frame after them
    uint16_t frameWidth, frameHeight;  // geometry the frames were recorded in (0: the header's)
    FileResult result;
    uint16_t takenWidth, takenHeight;
    uint32_t takenCount;
};

class MovieLayoutCases : public testing::TestWithParam<MovieCase> {};

TEST_P(MovieLayoutCases, AreSizedUpAsRecorded) {
    const MovieCase& c = GetParam();
    const auto bytes =
        Movie(c.width, c.height, c.headerCount, c.frames, c.extra, c.frameWidth, c.frameHeight);
    MovieLayout layout;
    ASSERT_EQ(ReadMovieLayout(SpanSource(bytes), layout), c.result);
    if (c.result != FileResult::kOk) return;
    EXPECT_EQ(layout.header.width, c.takenWidth);
    EXPECT_EQ(layout.header.height, c.takenHeight);
    EXPECT_EQ(layout.header.frameCount, c.takenCount);
    EXPECT_EQ(layout.frameBytes, uint32_t{c.takenWidth} * c.takenHeight * 2);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MovieLayoutCases,
    testing::Values(
        MovieCase{"CountTenAbove", 8, 2, 100, 110, 0, 0, 0, FileResult::kOk, 8, 2, 100},
        MovieCase{"CountElevenAbove", 8, 2, 100, 111, 0, 0, 0, FileResult::kOk, 8, 2, 111},
        MovieCase{"CountElevenBelow", 8, 2, 100, 89, 0, 0, 0, FileResult::kOk, 8, 2, 89},
        MovieCase{"PartialFrameNotCounted", 8, 2, 0, 20, 31, 0, 0, FileResult::kOk, 8, 2, 20},
        MovieCase{"UnfinishedOtherGeometry", 0, 0, 0, 40, 0, 320, 240, FileResult::kOk, 640, 512,
                  0},
        MovieCase{"LargestBufferFits", 1280, 1024, 1, 1, 0, 0, 0, FileResult::kOk, 1280, 1024, 1},
        MovieCase{"HeightAboveLimit", 8, 1025, 0, 0, 0, 0, 0, FileResult::kBadGeometry, 0, 0, 0},
        MovieCase{"WidthAboveLimit", 2001, 4, 0, 0, 0, 0, 0, FileResult::kBadGeometry, 0, 0, 0},
        // Within the width and height limits, but a frame larger than the frame buffer.
        MovieCase{"FrameLargerThanBuffer", 2000, 1024, 0, 0, 0, 0, 0, FileResult::kBadGeometry, 0,
                  0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MovieLayout, FilesShorterThanTheHeaderAreRefused) {
    const auto bytes = Movie(8, 2, 0, 0);
    MovieLayout layout;
    EXPECT_EQ(ReadMovieLayout(SpanSource(std::span(bytes).first(63)), layout),
              FileResult::kTruncated);
}

// A parameter line of the header's geometry opening the first frame is reported; one of another
// geometry, or one in a file with fewer than 100 bytes of frames, is not.
TEST(MovieLayout, FirstFrameParameterLineIsReportedWhenValid) {
    for (const auto& [width, height, frames, extra, lineHeight, valid] :
         {std::tuple{64, 4, 2, 0, 4, true}, {64, 4, 2, 0, 5, false}, {4, 2, 0, 99, 2, false}}) {
        auto bytes = Movie(width, height, frames, frames, extra);
        for (auto [at, value] : {std::pair{64, 1}, {66, 6}, {68, width}, {70, lineHeight}}) {
            test::Put<uint16_t>(bytes, at, uint16_t(value));
        }
        MovieLayout layout;
        ASSERT_EQ(ReadMovieLayout(SpanSource(bytes), layout), FileResult::kOk);
        EXPECT_EQ(layout.firstLineValid, valid) << width << "x" << lineHeight << "+" << extra;
        if (valid) {
            EXPECT_TRUE(
                std::equal(layout.firstLine.begin(), layout.firstLine.end(), bytes.begin() + 64));
        }
    }
}

TEST(MovieFrame, MissingFrameAndSmallBufferLeaveTheFrameAsItWas) {
    // The header claims 5 frames, the file holds 3 and a half: within tolerance, so 5 are taken.
    const auto bytes = Movie(4, 2, 5, 3, 8);
    MovieLayout layout;
    ASSERT_EQ(ReadMovieLayout(SpanSource(bytes), layout), FileResult::kOk);
    ASSERT_EQ(layout.header.frameCount, 5u);
    std::vector<uint8_t> frame(16, 0xAA);
    EXPECT_EQ(ReadMovieFrame(SpanSource(bytes), layout, 3, frame), FileResult::kTruncated);
    EXPECT_EQ(ReadMovieFrame(SpanSource(bytes), layout, UINT64_MAX, frame), FileResult::kTruncated);
    std::vector<uint8_t> small(15, 0xAA);
    EXPECT_EQ(ReadMovieFrame(SpanSource(bytes), layout, 0, small), FileResult::kBufferTooSmall);
    EXPECT_EQ(frame, std::vector<uint8_t>(16, 0xAA));
    EXPECT_EQ(small, std::vector<uint8_t>(15, 0xAA));
}

}  // namespace
}  // namespace zelir::files
