// Display mapping: routing by brightness/contrast type, statistics, flipping, display exports.
#include "support/fake_handle.h"
#include "support/unit.h"

namespace {

using zelir_test::ScopedHandle;

constexpr int kW = 64;
constexpr int kH = 48;

std::vector<uint16_t> Gradient() {
    std::vector<uint16_t> digits(kW * kH);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) digits[y * kW + x] = static_cast<uint16_t>(8000 + 40 * x + y);
    }
    return digits;
}

std::vector<uint8_t> Map(ZelIrHandle handle, const std::vector<uint16_t>& digits,
                         int32_t noFlip = 1, uint8_t fill = 0) {
    std::vector<uint8_t> out(kW * kH, fill);
    EXPECT_EQ(ZelIr_DigitArrayToBmp(handle, digits.data(), out.data(), 0, noFlip, nullptr), 1);
    return out;
}

// The record's cuts go in, the frame's statistics come out to record and parameter block.
TEST(DisplayMapping, StatisticsReachRecordAndParameterBlock) {
    ScopedHandle handle(1, 1, kW, kH);
    HISTOGRAM_INFO record{};
    record.topCut = 20;
    record.bottomCut = 30;
    const auto digits = Gradient();
    std::vector<uint8_t> out(kW * kH);
    ASSERT_EQ(ZelIr_DigitArrayToBmp(handle.handle(), digits.data(), out.data(), 0, 1, &record), 1);
    const ZelIrParameterBlock* b = handle.manager()->ParameterBlock();
    EXPECT_EQ((std::array<int, 4>{b->topCut, b->bottomCut, b->minDigit, b->maxDigit}),
              (std::array<int, 4>{20, 30, 8000, 8000 + 40 * (kW - 1) + kH - 1}));
    EXPECT_TRUE(b->minDigit <= b->limit1 && b->limit1 <= b->limit2 && b->limit2 <= b->maxDigit);
    EXPECT_EQ((std::array<int, 3>{record.minDigit, record.maxDigit, record.limit2}),
              (std::array<int, 3>{b->minDigit, b->maxDigit, b->limit2}));
}

TEST(DisplayMapping, AutomaticLinearUsesTheFullRangeAndResetsBrightness) {
    for (int type : {0, 10}) {
        ScopedHandle handle(1, 1, kW, kH);
        ZelIr_SetBrihgtContrastType(handle.handle(), type);
        ZelIr_SetCurrBright(handle.handle(), 80);
        ZelIr_SetCurrContrast(handle.handle(), 10);
        const auto out = Map(handle.handle(), Gradient());
        const auto [low, high] = std::minmax_element(out.begin(), out.end());
        EXPECT_EQ((std::array<int, 4>{*low, *high, ZelIr_GetCurrBright(handle.handle()),
                                      ZelIr_GetCurrContrast(handle.handle())}),
                  (std::array<int, 4>{0, 255, 50, 50}))
            << type;
    }
}

double Mean(const std::vector<uint8_t>& image) {
    return std::accumulate(image.begin(), image.end(), 0.0) / image.size();
}

TEST(DisplayMapping, ManualLinearFollowsBrightness) {
    ScopedHandle handle(1, 1, kW, kH);
    ZelIr_SetBrihgtContrastType(handle.handle(), 1);
    ZelIr_SetCurrBright(handle.handle(), 30);
    const double dark = Mean(Map(handle.handle(), Gradient()));
    ZelIr_SetCurrBright(handle.handle(), 70);
    const double bright = Mean(Map(handle.handle(), Gradient()));
    EXPECT_GT(bright, dark);
}

TEST(DisplayMapping, UnknownTypesLeaveTheDestinationThenFlipIt) {
    for (int16_t type : {2, 8, 9, 12, 18, -3}) {
        ScopedHandle handle(1, 1, kW, kH);
        handle.manager()->ParameterBlock()->bcType = type;
        std::vector<uint8_t> out(kW * kH);
        for (int y = 0; y < kH; ++y) std::fill_n(out.begin() + y * kW, kW, static_cast<uint8_t>(y));
        const auto digits = Gradient();
        ASSERT_EQ(ZelIr_DigitArrayToBmp(handle.handle(), digits.data(), out.data(), 0, 0, nullptr),
                  1);
        for (int y = 0; y < kH; ++y) {
            ASSERT_EQ(out[y * kW], kH - 1 - y) << "type " << type << " row " << y;
        }
    }
}

TEST(DisplayMapping, RefusesMissingDigitsOversizedFramesAndForeignHandles) {
    ScopedHandle handle(1, 1, kW, kH);
    const auto digits = Gradient();
    std::vector<uint8_t> out(kW * kH);
    EXPECT_EQ(ZelIr_DigitArrayToBmp(handle.handle(), nullptr, out.data(), 0, 0, nullptr), 0);
    handle.manager()->ParameterBlock()->width = 4000;
    EXPECT_EQ(ZelIr_DigitArrayToBmp(handle.handle(), digits.data(), out.data(), 0, 0, nullptr), 0);
    int foreign = 0;
    EXPECT_EQ(ZelIr_DigitArrayToBmp(&foreign, digits.data(), out.data(), 0, 0, nullptr), 0);
}

// Types 0..14 are kept, others read as 0.
TEST(DisplayExports, BrightnessContrastType) {
    ScopedHandle handle(1, 1, kW, kH);
    for (auto [given, stored] : {std::pair{14, 14}, {15, 0}, {-1, 0}, {0, 0}}) {
        EXPECT_EQ(ZelIr_SetBrihgtContrastType(handle.handle(), given), 1);
        EXPECT_EQ(ZelIr_GetBrihgtContrastType(handle.handle()), stored) << given;
    }
}

// The manual linear map (type 1) keeps brightness and contrast within 0..99 (others: 50).
TEST(DisplayExports, ManualLinearBoundsBrightnessAndContrast) {
    for (auto [type, value, stored] :
         {std::tuple{1, 100, 50}, {1, -1, 50}, {1, 99, 99}, {3, 100, 100}}) {
        ScopedHandle handle(1, 1, kW, kH);
        ZelIr_SetBrihgtContrastType(handle.handle(), type);
        EXPECT_EQ(ZelIr_SetCurrBright(handle.handle(), value), 1);
        EXPECT_EQ(ZelIr_SetCurrContrast(handle.handle(), value), 1);
        const ZelIrParameterBlock* block = handle.manager()->ParameterBlock();
        EXPECT_EQ((std::pair{block->brightness, block->contrast}),
                  (std::pair{float(stored), float(stored)}))
            << type << " " << value;
        EXPECT_EQ(ZelIr_GetCurrBright(handle.handle()), stored);
    }
}

// Settings that reach the block unchecked (through the block pointer or a damaged para.ini):
// non-finite ones read as the default, huge ones stay within reach of an int.
struct StoredSetting {
    float stored;
    int reported;
    float mappedAs;  // the setting that gives the same image
};

TEST(DisplayExports, NonFiniteOrHugeSettingsReadAndMapSafely) {
    const std::vector<StoredSetting> cases = {
        {std::numeric_limits<float>::quiet_NaN(), 50, 50.0f},
        {1e38f, std::numeric_limits<int32_t>::max(), 100.0f},
        {-3e9f, std::numeric_limits<int32_t>::min(), 0.0f},
        {61.9f, 61, 61.0f},
    };
    for (int type : {3, 5}) {
        for (const StoredSetting& c : cases) {
            ScopedHandle handle(1, 1, kW, kH);
            ZelIr_SetBrihgtContrastType(handle.handle(), type);
            ZelIrParameterBlock* block = handle.manager()->ParameterBlock();
            block->contrast = c.mappedAs;
            block->brightness = c.mappedAs;
            const auto expected = Map(handle.handle(), Gradient());
            block->contrast = c.stored;
            block->brightness = c.stored;
            EXPECT_EQ(ZelIr_GetCurrContrast(handle.handle()), c.reported) << c.stored;
            EXPECT_EQ(ZelIr_GetCurrBright(handle.handle()), c.reported) << c.stored;
            EXPECT_EQ(Map(handle.handle(), Gradient()), expected) << type << " " << c.stored;
        }
    }
}

TEST(CameraStateExports, IntegrationTimeComesFromTheBlock) {
    ScopedHandle handle(kHandleCamera, kStreamGigE, kW, kH);
    handle.manager()->ParameterBlock()->integrationTime = 1234;
    EXPECT_EQ(ZelIr_GetCurrIntTime(handle.handle()), 1234u);
    EXPECT_EQ(ZelIr_GetCurrIntTime(nullptr), 0u);
}

// 16-bit frames report their statistics, 8-bit ones the byte range, others nothing.
TEST(DisplayExports, MinMaxAndValuesFollowThePixelKind) {
    ScopedHandle handle(kHandleCamera, kStreamGigE, kW, kH);
    handle.manager()->ParameterBlock()->minDigit = 100;
    handle.manager()->ParameterBlock()->maxDigit = 9000;
    FrameRecord* frame = handle.source().GetFrameRecord();
    const uint8_t firstBytes[] = {0x34, 0x12, 0x78, 0x56};
    std::memcpy(frame->data.get(), firstBytes, sizeof(firstBytes));
    // Pixel (1, 0) is the second 16-bit value, or the second byte of an 8-bit frame.
    for (const auto& [kind, low, high, value] :
         {std::tuple{0u, 100u, 9000u, 0x5678}, {1u, 0u, 255u, 0x12}, {2u, 7u, 7u, 0}}) {
        frame->pixelKind = kind;
        uint32_t min = 7, max = 7;
        ZelIr_GetCurrMinAndMaxDigitVal(handle.handle(), &min, &max);
        EXPECT_EQ(min, low) << kind;
        EXPECT_EQ(max, high) << kind;
        EXPECT_EQ(ZelIr_GetDigitVal(handle.handle(), 1, 0), value) << kind;
    }
}

}  // namespace
