// Every frame operation accepts 48x36 .. 1280x1024 and refuses other sizes without writing.
#include "arith/synthetic_frames.h"
#include "arith/zelir_arith.h"
#include "support/unit.h"

namespace {

struct Size {
    int w;
    int h;
    bool accepted;
};

class FrameSizeTest : public ::testing::TestWithParam<Size> {};

TEST_P(FrameSizeTest, WritesOnlyForSupportedSizes) {
    const auto [w, h, accepted] = GetParam();
    // Buffers big enough for the largest frame, so that a refusal is the only way to stay clean.
    const std::size_t room = 1400 * 1100;
    std::vector<std::uint16_t> src(room);
    for (std::size_t i = 0; i < room; ++i) src[i] = static_cast<std::uint16_t>(1000 + i % 3000);
    std::vector<std::uint8_t> dst(room, 0xA5);
    std::vector<std::uint16_t> frame = src;
    const std::vector<std::uint8_t> y8(room, 7);

    ZelIrArith arith;
    arith.Init(640, 512, L"", L"");
    HISTOGRAM_INFO info;
    std::memset(&info, 0x5A, sizeof(info));
    info.topCut = info.bottomCut = 5;
    const HISTOGRAM_INFO before = info;

    arith.HistogramStatistics(src.data(), dst.data(), w, h, &info);
    EXPECT_EQ(std::memcmp(&info, &before, sizeof(info)) != 0, accepted) << "statistics";

    for (int round = 0; round < 3; ++round) {
        std::fill(dst.begin(), dst.end(), 0xA5);
        if (round == 0) arith.AutoLinearMap(src.data(), dst.data(), w, h, nullptr, 0.2f);
        if (round == 1)
            arith.ManualLinearMap(src.data(), dst.data(), w, h, nullptr, 0.2f, 60.0f, 40.0f);
        if (round == 2) {
            EXPECT_EQ(arith.PostprocessY8(y8.data(), dst.data(), w, h, false), accepted ? 1 : 0);
        }
        const bool written = std::count(dst.begin(), dst.end(), 0xA5) != std::ptrdiff_t(room);
        EXPECT_EQ(written, accepted) << "round " << round;
    }

    std::vector<std::uint16_t> flipped = frame;
    arith.FlipImage(flipped.data(), w, h, 2);
    EXPECT_EQ(flipped != frame, accepted) << "flip";
}

INSTANTIATE_TEST_SUITE_P(Sizes, FrameSizeTest,
                         ::testing::Values(Size{48, 36, true}, Size{1280, 1024, true},
                                           Size{47, 36, false}, Size{1281, 1024, false},
                                           Size{1280, 1025, false}, Size{640, -1, false}));

TEST(FrameSize, GenY16LeavesFramesOfAnotherSizeAlone) {
    ZelIrArith arith;
    arith.Init(64, 48, L"", L"");
    std::vector<std::uint16_t> bad(64 * 48, 0);
    bad[100] = 1;
    arith.SetArithBpImage(bad.data());
    // Same pixel count as 64x48, another geometry.
    auto frame = arith_test::Scene(48, 64);
    const auto original = frame;
    arith.GenY16(frame.data(), 48, 64, true);
    EXPECT_EQ(frame, original);
}

}  // namespace
