// Automatic and manual linear maps.
#include "arith/synthetic_frames.h"
#include "arith/zelir_arith.h"
#include "support/unit.h"

namespace {

using arith_test::Statistics;

constexpr int kW = 160, kH = 120;

TEST(AutoLinearMap, StretchesTheLimitsOverTheFullRangeMonotonically) {
    ZelIrArith arith;
    const auto frame = arith_test::Scene(kW, kH, 3000, 9000, 40);
    HISTOGRAM_INFO info = Statistics(arith, frame, kW, kH);
    std::vector<std::uint8_t> dst(frame.size());
    arith.AutoLinearMap(frame.data(), dst.data(), kW, kH, &info, 0.2f);

    EXPECT_TRUE(arith_test::MonotonicAndSaturated(frame, dst, info.limit1, info.limit2));
    // Half-way between the limits is mid grey.
    const std::uint16_t middle = (info.limit1 + info.limit2) / 2;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        if (frame[i] == middle) {
            EXPECT_NEAR(dst[i], 127.5, 1.0);
        }
    }
}

struct NarrowCase {
    float kthr;
    int expectedSpread;  // grey levels between the darkest and the brightest pixel
};

class KthrTest : public ::testing::TestWithParam<NarrowCase> {};

// A scene only 10 digit values wide: KTHR caps the gain at 1/KTHR grey levels per digit.
TEST_P(KthrTest, NarrowSceneIsNotStretchedBeyondKthr) {
    const auto [kthr, spread] = GetParam();
    std::vector<std::uint16_t> frame(kW * kH);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = 5000 + i % 11;
    ZelIrArith arith;
    HISTOGRAM_INFO info = Statistics(arith, frame, kW, kH, 0, 0);
    std::vector<std::uint8_t> dst(frame.size());
    arith.AutoLinearMap(frame.data(), dst.data(), kW, kH, &info, kthr);
    const auto [lo, hi] = std::minmax_element(dst.begin(), dst.end());
    EXPECT_NEAR(*hi - *lo, spread, 1);
    EXPECT_NEAR((*hi + *lo) / 2.0, 127.5, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Kthr, KthrTest,
                         ::testing::Values(NarrowCase{0.2f, 50}, NarrowCase{1.0f, 10},
                                           NarrowCase{0.03f, 255}));

TEST(ManualLinearMap, BrightnessRaisesTheMeanAndContrastTheSpread) {
    ZelIrArith arith;
    const auto frame = arith_test::Scene(kW, kH, 3000, 9000, 200);
    HISTOGRAM_INFO info = Statistics(arith, frame, kW, kH);
    auto map = [&](float contrast, float brightness) {
        std::vector<std::uint8_t> dst(frame.size());
        arith.ManualLinearMap(frame.data(), dst.data(), kW, kH, &info, 0.2f, contrast, brightness);
        return dst;
    };
    EXPECT_TRUE(arith_test::BrightnessAndContrastRise(
        [&](int contrast, int brightness) { return map(float(contrast), float(brightness)); },
        {0, 25, 50, 75, 99}));
    // Out-of-range settings are clamped, not trusted.
    EXPECT_EQ(map(150.0f, -20.0f), map(100.0f, 0.0f));
}

}  // namespace
