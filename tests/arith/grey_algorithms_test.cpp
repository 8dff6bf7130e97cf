// The equalising and filtering grey-level algorithms, through the calls display mapping makes.
#include "arith/box_blur.h"
#include "arith/synthetic_frames.h"
#include "arith/zelir_arith.h"
#include "support/unit.h"

namespace {

using arith_test::StdDev;

enum class Algorithm { kClahe, kMixed, kRetinex, kBilateral };

struct AlgorithmCase {
    const char* name;
    Algorithm algorithm;
};

bool RunAlgorithm(ZelIrArith& arith, Algorithm algorithm, const std::vector<std::uint16_t>& src,
                  std::vector<std::uint8_t>& dst, int w, int h, int contrast = 50,
                  int brightness = 50) {
    switch (algorithm) {
        case Algorithm::kClahe:
            return arith.ContrastLimitedAdaptiveHistogramEquazition(src.data(), dst.data(),
                                                                    contrast, brightness, w, h);
        case Algorithm::kMixed:
            return arith.MixedMap(src.data(), dst.data(), contrast, brightness, w, h);
        case Algorithm::kRetinex:
            return arith.MSREnhancement(src.data(), dst.data(), contrast, brightness, w, h);
        case Algorithm::kBilateral:
            return arith.BilateralFilterEnhancement(src.data(), dst.data(), contrast, brightness, w,
                                                    h);
    }
    return false;
}

class GreyAlgorithmTest : public ::testing::TestWithParam<AlgorithmCase> {};

struct Size {
    int w;
    int h;
};

TEST_P(GreyAlgorithmTest, UsesTheFullRangeFromSmallestToLargestFrame) {
    for (auto [w, h] : {Size{48, 36}, Size{1280, 1024}}) {
        const auto frame = arith_test::Scene(w, h, 3000, 9000, 30);
        std::vector<std::uint8_t> dst(frame.size(), 0);
        ZelIrArith arith;
        ASSERT_TRUE(RunAlgorithm(arith, GetParam().algorithm, frame, dst, w, h)) << w;
        const auto [lo, hi] = std::minmax_element(dst.begin(), dst.end());
        EXPECT_LE(*lo, 5) << w << "x" << h;
        EXPECT_GE(*hi, 250) << w << "x" << h;
        // The warm disc stays brighter than the cold side of the scene.
        const std::size_t cold = std::size_t(h / 2) * w + 2,
                          disc = std::size_t(h / 2) * w + w * 65 / 100;
        EXPECT_GT(dst[disc], dst[cold]) << w << "x" << h;
    }
}

TEST_P(GreyAlgorithmTest, UniformFrameGivesMidGrey) {
    for (std::uint16_t value : {0, 65535}) {
        const auto frame = arith_test::Uniform(96, 72, value);
        std::vector<std::uint8_t> dst(frame.size(), 7);
        ZelIrArith arith;
        ASSERT_TRUE(RunAlgorithm(arith, GetParam().algorithm, frame, dst, 96, 72));
        EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](auto v) { return v == 128; })) << value;
    }
}

TEST_P(GreyAlgorithmTest, BrightnessRaisesTheMeanAndContrastTheSpread) {
    const int w = 160, h = 120;
    const auto frame = arith_test::Scene(w, h, 3000, 9000, 60);
    ZelIrArith arith;
    EXPECT_TRUE(arith_test::BrightnessAndContrastRise(
        [&](int contrast, int brightness) {
            std::vector<std::uint8_t> dst(frame.size());
            EXPECT_TRUE(
                RunAlgorithm(arith, GetParam().algorithm, frame, dst, w, h, contrast, brightness));
            return dst;
        },
        {0, 30, 50, 70, 100}));
}

// The size bounds themselves are FrameSizeTest's.
TEST_P(GreyAlgorithmTest, RefusesUnsupportedSizesWithoutWriting) {
    const auto frame = arith_test::Scene(1400, 1100);
    std::vector<std::uint8_t> dst(frame.size(), 0xA5);
    ZelIrArith arith;
    EXPECT_FALSE(RunAlgorithm(arith, GetParam().algorithm, frame, dst, 47, 36));
    EXPECT_TRUE(std::all_of(dst.begin(), dst.end(), [](auto v) { return v == 0xA5; }));
    std::vector<std::uint8_t> none;
    EXPECT_FALSE(RunAlgorithm(arith, GetParam().algorithm, {}, none, 640, 512));
}

INSTANTIATE_TEST_SUITE_P(Algorithms, GreyAlgorithmTest,
                         ::testing::Values(AlgorithmCase{"Clahe", Algorithm::kClahe},
                                           AlgorithmCase{"Mixed", Algorithm::kMixed},
                                           AlgorithmCase{"Retinex", Algorithm::kRetinex},
                                           AlgorithmCase{"Bilateral", Algorithm::kBilateral}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RangeLimitedHistogramEqualization, SaturatesBeyondTheLimitsAndIsMonotonic) {
    const int w = 160, h = 120;
    const auto frame = arith_test::Scene(w, h, 3000, 9000, 60);
    std::vector<std::uint8_t> dst(frame.size());
    ZelIrArith arith;
    ASSERT_TRUE(
        arith.RangeLimitedHistogramEqualization(frame.data(), dst.data(), 4000, 8000, w, h));
    EXPECT_TRUE(arith_test::MonotonicAndSaturated(frame, dst, 4000, 8000));
}

TEST(PostprocessY8, DenoiseRemovesSpeckleAndKeepsEdges) {
    const int w = 64, h = 48;
    std::vector<std::uint8_t> image(w * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) image[y * w + x] = x < 32 ? 40 + x : 200;  // ramp and edge
    }
    const auto clean = image;
    image[10 * w + 10] = 250;  // speckle
    image[20 * w + 50] = 0;
    image[w - 1] = 0;  // in a corner: the repeated border weighs it four times
    ZelIrArith arith;
    std::vector<std::uint8_t> out(image.size());
    ASSERT_EQ(arith.PostprocessY8(image.data(), out.data(), w, h, true), 1);
    EXPECT_EQ(out, clean);
}

TEST(PostprocessY8, SharpenRaisesEdgesAndLeavesFlatAreas) {
    const int w = 64, h = 48;
    std::vector<std::uint8_t> image(w * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) image[y * w + x] = x < 32 ? 100 : 140;
    }
    ZelIrArith arith;
    std::array<short, ZelIrArith::kParaCount> para;
    arith.GetArithPara(para.data());
    para[ZelIrArith::kParaPostprocess] = 2;
    para[ZelIrArith::kParaSharpenAmount] = 90;
    ASSERT_TRUE(arith.SetArithPara(para.data()));
    std::vector<std::uint8_t> out(image.size());
    ASSERT_EQ(arith.PostprocessY8(image.data(), out.data(), w, h, true), 1);
    const int y = h / 2;
    EXPECT_EQ(out[y * w + 10], 100);
    EXPECT_EQ(out[y * w + 31], 100 - 12);  // 0.9 x (100 - 113.3)
    EXPECT_EQ(out[y * w + 32], 140 + 12);
}

// Each output is the mean of its own block only: a 5 x 3 plane in blocks of 2, partial blocks at
// the right and bottom edges.
TEST(Downsample, AveragesEachBlockAndThePartialEdgeBlocks) {
    const std::vector<float> plane = {1,  2,  3,  4,  5,   //
                                      6,  7,  8,  9,  10,  //
                                      11, 12, 13, 14, 15};
    std::vector<float> out(3 * 2, -1.0f);
    zelir::arith::Downsample(plane.data(), 5, 3, 2, out.data());
    EXPECT_EQ(out, (std::vector<float>{4, 6, 7.5f, 11.5f, 13.5f, 15}));
}

}  // namespace
