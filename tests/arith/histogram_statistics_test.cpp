// Histogram statistics against a sorted copy of the frame.
#include "arith/synthetic_frames.h"
#include "arith/zelir_arith.h"
#include "support/unit.h"

namespace {

struct Cuts {
    int bottom;
    int top;
};

class HistogramStatisticsTest : public ::testing::TestWithParam<Cuts> {};

TEST_P(HistogramStatisticsTest, LimitsSitAtTheCuts) {
    const auto [bottom, top] = GetParam();
    const int w = 320, h = 240;
    const auto frame = arith_test::Scene(w, h, 2000, 12000, 300);
    std::vector<std::uint16_t> sorted = frame;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();

    ZelIrArith arith;
    const HISTOGRAM_INFO info = arith_test::Statistics(arith, frame, w, h, bottom, top);

    EXPECT_EQ(info.minDigit, sorted.front());
    EXPECT_EQ(info.maxDigit, sorted.back());
    // Cuts beyond half of the pixels are taken as half.
    const std::size_t below = n * std::clamp(bottom, 0, 500) / 1000;
    const std::size_t above = n * std::clamp(top, 0, 500) / 1000;
    EXPECT_EQ(info.limit1, sorted[below]);
    EXPECT_EQ(info.limit2, std::max(sorted[below], sorted[n - 1 - above]));
    // Inputs are left as they were.
    EXPECT_EQ(info.bottomCut, bottom);
    EXPECT_EQ(info.topCut, top);
    // The library's summary histogram accounts for every pixel.
    std::uint32_t binWidth;
    std::vector<std::uint32_t> bins(512);
    std::memcpy(&binWidth, info.library, 4);
    std::memcpy(bins.data(), info.library + 4, 512 * 4);
    EXPECT_GE(binWidth * 512u, static_cast<unsigned>(sorted.back() - sorted.front() + 1));
    std::size_t total = 0;
    for (auto c : bins) total += c;
    EXPECT_EQ(total, n);
}

INSTANTIATE_TEST_SUITE_P(Cuts, HistogramStatisticsTest,
                         ::testing::Values(Cuts{0, 0}, Cuts{1, 20}, Cuts{700, 900}, Cuts{-3, -3}));

// Large frames are counted on a grid of about 32768 pixels: the extremes stay exact, the limits
// land within a per mille of the exact cut.
TEST(HistogramStatistics, LargeFramesPlaceTheCutsWithinAPerMille) {
    for (auto [w, h] : {std::pair{640, 512}, std::pair{1280, 1024}}) {
        const auto frame = arith_test::Scene(w, h, 2000, 12000, 300);
        std::vector<std::uint16_t> sorted = frame;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t n = sorted.size();
        ZelIrArith arith;
        const HISTOGRAM_INFO info = arith_test::Statistics(arith, frame, w, h, 5, 20);
        EXPECT_EQ(info.minDigit, sorted.front());
        EXPECT_EQ(info.maxDigit, sorted.back());
        EXPECT_GE(info.limit1, sorted[n * 4 / 1000]) << w;
        EXPECT_LE(info.limit1, sorted[n * 6 / 1000]) << w;
        EXPECT_GE(info.limit2, sorted[n - 1 - n * 21 / 1000]) << w;
        EXPECT_LE(info.limit2, sorted[n - 1 - n * 19 / 1000]) << w;
    }
}

// A uniform frame has one value everywhere; a frame of 0 with one 65535 and no cuts counts the
// full range.
TEST(HistogramStatistics, UniformAndFullRangeFrames) {
    auto full = arith_test::Uniform(64, 48, 0);
    full[5] = 65535;
    for (const auto& [frame, cut, low, high] :
         {std::tuple{arith_test::Uniform(64, 48, 4321), 5, 4321, 4321}, {full, 0, 0, 65535}}) {
        ZelIrArith arith;
        const HISTOGRAM_INFO info = arith_test::Statistics(arith, frame, 64, 48, cut, cut);
        EXPECT_EQ((std::array<int, 4>{info.minDigit, info.maxDigit, info.limit1, info.limit2}),
                  (std::array<int, 4>{low, high, low, high}));
    }
}

}  // namespace
