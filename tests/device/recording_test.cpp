// Movie recording and image saving through the public interface.
#include <zelir/zelir.h>

#include "support/open_handle.h"
#include "support/unit.h"

namespace {

using zelir_test::Frame;
using zelir_test::NumberedFrame;
using zelir_test::ReadBytes;
using zelir_test::ScratchDir;

constexpr uint16_t kW = 64;
constexpr uint16_t kH = 48;
constexpr size_t kFrameBytes = size_t{kW} * kH * 2;

using Handle = zelir_test::OpenHandle;

class Recording : public ::testing::Test {
  protected:
    void SetUp() override {
        for (uint32_t i = 0; i < 8; ++i) frames_.push_back(NumberedFrame(kW, kH, i));
        zelir_test::WriteMovie(dir_.File("src.irm"), kW, kH, frames_, 8);
        source_.reset(ZelIr_MovieFileOpen(dir_.WideFile("src.irm").c_str()));
        ASSERT_TRUE(source_);
        ZelIr_SetCyclePlay(source_.get(), 0);
    }
    // A finished movie of `count` frames of the source's geometry.
    void ExpectMovie(const char* name, uint32_t count) {
        const auto bytes = ReadBytes(dir_.File(name));
        ASSERT_EQ(bytes.size(), 64 + count * kFrameBytes) << name;
        EXPECT_EQ(zelir_test::Get<uint32_t>(bytes, 52), count);
        EXPECT_EQ(zelir_test::Get<uint16_t>(bytes, 60), kW);
        EXPECT_EQ(zelir_test::Get<uint16_t>(bytes, 62), kH);
    }
    Frame Digits(void* handle) {
        Frame digits(size_t{kW} * kH);
        ZelIr_GetDigitArray(handle, digits.data(), nullptr);
        return digits;
    }
    ScratchDir dir_{"recording"};
    std::vector<Frame> frames_;
    Handle source_;
};

// Starting another recording, and closing the handle, each finish the movie being written.
TEST_F(Recording, StartingAgainOrClosingFinishesTheMovie) {
    ASSERT_EQ(ZelIr_StartRecordMovie(source_.get(), dir_.WideFile("a.irm").c_str()), 0);
    ZelIr_GetNewArray(source_.get());
    ZelIr_GetNewArray(source_.get());
    ASSERT_EQ(ZelIr_StartRecordMovie(source_.get(), dir_.WideFile("b.irm").c_str()), 0);
    ZelIr_GetNewArray(source_.get());
    ExpectMovie("a.irm", 2);
    source_.reset();
    ExpectMovie("b.irm", 1);
}

TEST_F(Recording, StopWithoutRecordingAndUncreatableFile) {
    EXPECT_EQ(ZelIr_StopRecordMovie(source_.get()), 0);
    EXPECT_EQ(ZelIr_StartRecordMovie(source_.get(), L"/nonexistent-dir/x.irm"), -1);
}

TEST_F(Recording, SavedCombinedImageReopensWithDigitsBlockAndAnalysisBlock) {
    ZelIr_GetNewArray(source_.get());
    std::vector<uint8_t> analysis(500);
    for (size_t i = 0; i < analysis.size(); ++i) analysis[i] = static_cast<uint8_t>(i ^ 0x5A);
    ASSERT_EQ(ZelIr_ImportAnalysisBlock(source_.get(), analysis.data(), 500), 1);
    void* sourceBlock = nullptr;
    ASSERT_EQ(ZelIr_GetDeviceIRIParam(source_.get(), &sourceBlock), 1);
    static_cast<ZelIrParameterBlock*>(sourceBlock)->unnamed2074 = 1234;  // no para.ini key
    static_cast<ZelIrParameterBlock*>(sourceBlock)->frameId = 77;
    const std::wstring path = dir_.WideFile("a.bmp");
    ASSERT_EQ(ZelIr_SaveCurrImage(source_.get(), path.c_str()), 1);

    Handle image(ZelIr_RawImageOpen(path.c_str()));
    ASSERT_TRUE(image);
    ASSERT_EQ(ZelIr_GetNewArray(image.get()), 1);
    EXPECT_EQ(Digits(image.get()), frames_[1]);
    void* block = nullptr;
    ASSERT_EQ(ZelIr_GetDeviceIRIParam(image.get(), &block), 1);
    EXPECT_EQ(static_cast<ZelIrParameterBlock*>(block)->unnamed2074, 1234);
    EXPECT_EQ(ZelIr_GetFrameID(image.get()), 77u);
    void* data = nullptr;
    ASSERT_EQ(ZelIr_GetAnalysisBlock(image.get(), &data), 500);
    EXPECT_EQ(std::memcmp(data, analysis.data(), 500), 0);
}

TEST_F(Recording, CallerImageNeedsItsHeaderSizeAndTheFileCarriesLineSizeSeven) {
    ZelIr_GetNewArray(source_.get());
    // A caller's 16 x 4 image of four colours; a header of another size is refused.
    BITMAPINFOHEADER info{124, 16, 4, 1, 8, 0, 64, 0, 0, 4, 0};
    std::vector<RGBQUAD> palette(4, RGBQUAD{1, 2, 3, 0});
    std::vector<uint8_t> pixels(16 * 4, 3);
    const auto save = [&] {
        return ZelIr_SaveCurrImageV1D7(source_.get(), dir_.WideFile("v.bmp").c_str(), &info,
                                       palette.data(), pixels.data());
    };
    EXPECT_EQ(save(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("v.bmp")));
    info.biSize = 40;
    ASSERT_EQ(save(), 1);
    const auto file = ReadBytes(dir_.File("v.bmp"));
    const uint32_t bitmapBytes = zelir_test::Get<uint32_t>(file, 2);
    EXPECT_EQ(bitmapBytes, 14u + 40 + 16 + 64);
    // The file's copy of the parameter block carries line size 7.
    EXPECT_EQ(zelir_test::Get<uint16_t>(file, bitmapBytes + 70 + 2), 7);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("v.bmp.raw")));
}

TEST_F(Recording, SaversRefuseUnknownHandlesAndUncreatablePaths) {
    int foreign = 0;
    EXPECT_EQ(ZelIr_SaveCurrImage(&foreign, dir_.WideFile("f.bmp").c_str()), 0);
    ZelIr_GetNewArray(source_.get());
    EXPECT_EQ(ZelIr_SaveCurrImage(source_.get(), L"/nonexistent-dir/f.bmp"), 0);
}

}  // namespace
