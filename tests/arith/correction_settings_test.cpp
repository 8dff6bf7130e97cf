// Correction switches, parameters, channels, the bad-point image, flipping and post-processing.
#include "arith/synthetic_frames.h"
#include "arith/zelir_arith.h"
#include "support/unit.h"

namespace {

constexpr int kW = 64, kH = 48;

TEST(GenY16, BadPointImageReplacesPixelsFromGoodNeighbours) {
    ZelIrArith arith;
    arith.Init(kW, kH, L"", L"");
    std::vector<std::uint16_t> bad(kW * kH, 0);
    const int hot = 10 * kW + 10;
    bad[hot] = 1;
    bad[hot + 1] = 1;  // a pair: the right neighbour of the first is bad itself
    arith.SetArithBpImage(bad.data());

    auto frame = arith_test::Scene(kW, kH);
    frame[hot] = 65535;
    frame[hot + 1] = 0;
    auto untouched = frame;
    arith.GenY16(frame.data(), kW, kH, false);
    EXPECT_EQ(frame, untouched) << "correction off";

    arith.GenY16(frame.data(), kW, kH, true);
    auto expected = untouched;
    const int left = frame[hot - 1], right = frame[hot + 2];
    expected[hot] = uint16_t((left + right + frame[hot - kW] + frame[hot + kW] + 2) / 4);
    expected[hot + 1] =
        uint16_t((left + right + frame[hot + 1 - kW] + frame[hot + 1 + kW] + 2) / 4);
    EXPECT_EQ(frame, expected);

    // A null image clears the bad points.
    arith.SetArithBpImage(nullptr);
    frame = untouched;
    arith.GenY16(frame.data(), kW, kH, true);
    EXPECT_EQ(frame, untouched);
}

TEST(ArithPara, RoundTripsAndRefusesOutOfRangeValues) {
    ZelIrArith arith;
    std::array<short, ZelIrArith::kParaCount> defaults{};
    arith.GetArithPara(defaults.data());

    std::array<short, ZelIrArith::kParaCount> para = defaults;
    para[ZelIrArith::kParaGainTolerance] = 40;
    para[ZelIrArith::kParaSaturation] = -2;      // 65534 as unsigned
    para[ZelIrArith::kParaSharpenAmount] = 200;  // the largest taken
    EXPECT_TRUE(arith.SetArithPara(para.data()));
    std::array<short, ZelIrArith::kParaCount> back{};
    arith.GetArithPara(back.data());
    EXPECT_EQ(back, para);

    struct Bad {
        int index;
        short value;
    };
    for (auto [index, value] : {Bad{0, 0}, Bad{0, 101}, Bad{1, 0}, Bad{3, 3}, Bad{3, -1},
                                Bad{4, 201}, Bad{5, 1}, Bad{15, -1}}) {
        auto wrong = para;
        wrong[index] = value;
        EXPECT_FALSE(arith.SetArithPara(wrong.data())) << index << " " << value;
        arith.GetArithPara(back.data());
        EXPECT_EQ(back, para) << "kept after refusing " << index;
    }
    EXPECT_FALSE(arith.SetArithPara(nullptr));
}

TEST(Channel, AcceptsOnlyKnownChannels) {
    ZelIrArith arith;
    arith.Init(kW, kH, L"", L"");
    EXPECT_EQ(arith.SetCurrChan(ZelIrArith::kChannelCount - 1), 1);
    for (int channel : {-1, ZelIrArith::kChannelCount}) {
        EXPECT_EQ(arith.SetCurrChan(channel), 0);
        EXPECT_EQ(arith.GetCurrChan(), ZelIrArith::kChannelCount - 1);
    }
}

template <typename Pixel>
void ExpectRowsReversed(int bytesPerPixel) {
    std::vector<Pixel> image(kW * kH);
    std::iota(image.begin(), image.end(), Pixel{0});
    const auto original = image;
    ZelIrArith().FlipImage(image.data(), kW, kH, bytesPerPixel);
    for (int y = 0; y < kH; ++y) {
        ASSERT_TRUE(std::equal(image.begin() + y * kW, image.begin() + (y + 1) * kW,
                               original.begin() + (kH - 1 - y) * kW))
            << y;
    }
}

TEST(FlipImage, ReversesRowsOfOneAndTwoBytePixels) {
    ExpectRowsReversed<std::uint8_t>(1);
    ExpectRowsReversed<std::uint16_t>(2);
}

TEST(FlipImage, RefusesOtherPixelSizes) {
    std::vector<std::uint8_t> image(kW * kH * 4);
    std::iota(image.begin(), image.end(), 0);
    const auto original = image;
    ZelIrArith arith;
    for (int bytes : {0, 3, 4}) {
        arith.FlipImage(image.data(), kW, kH, bytes);
        EXPECT_EQ(image, original) << bytes;
    }
    arith.FlipImage(nullptr, kW, kH, 1);  // must not crash
}

// Correction off copies; a missing source is refused.
TEST(PostprocessY8, CorrectionOffCopies) {
    std::vector<std::uint8_t> src(kW * kH);
    std::iota(src.begin(), src.end(), 0);
    std::vector<std::uint8_t> dst(src.size(), 0);
    ZelIrArith arith;
    EXPECT_EQ(arith.PostprocessY8(src.data(), dst.data(), kW, kH, false), 1);
    EXPECT_EQ(dst, src);
    EXPECT_EQ(arith.PostprocessY8(nullptr, dst.data(), kW, kH, false), 0);
}

}  // namespace
