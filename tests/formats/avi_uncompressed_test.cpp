// The uncompressed path of CAviCode, taken when the MPEG-4 encoder is not there: forced here by
// asking for an encoder FFmpeg does not have. ffmpeg must decode every frame bit-exact.
#include <zelir/avi_code.h>

#include "formats/avi_code_access.h"
#include "formats/avi_file_writer.h"
#include "formats/avi_probe.h"
#include "formats/avi_test_scene.h"
#include "support/unit.h"

namespace {

using zelir_test::MakeFormat;
using zelir_test::PaletteFormat;
using zelir_test::SceneFrame;
using zelir_test::ScratchDir;

struct RawCase {
    int width;
    int height;  // negative: top row first
    uint16_t bitCount;
    enum Palette { kGrey, kIron, kSixteenEntries } palette;
    const char* encoder;
};

// A direct-colour frame made of the scene's values, with a per-channel twist so that a swapped
// channel shows, and the picture it shows, top row first: 16-bit pixels are 5:5:5 (bit 15
// unused), 32-bit ones carry a fourth byte the picture ignores.
std::pair<std::vector<uint8_t>, std::vector<uint8_t>> DirectColour(
    const std::vector<uint8_t>& values, int width, int height, uint16_t bitCount) {
    const size_t step = bitCount / 8;
    std::vector<uint8_t> bgr(values.size() * 3), frame(values.size() * step);
    for (size_t i = 0; i < values.size(); ++i) {
        uint8_t* pixel = &bgr[3 * i];
        pixel[0] = values[i];
        pixel[1] = static_cast<uint8_t>(255 - values[i]);
        pixel[2] = static_cast<uint8_t>(values[i] * 3);
        if (bitCount == 16) {
            uint16_t word = 0x8000;
            for (int k = 0; k < 3; ++k) {
                word |= static_cast<uint16_t>((pixel[k] >> 3) << (5 * k));
                pixel[k] = static_cast<uint8_t>((pixel[k] >> 3) << 3 | pixel[k] >> 5);
            }
            std::memcpy(&frame[2 * i], &word, 2);
        } else {
            std::copy_n(pixel, 3, &frame[step * i]);
            if (step == 4) frame[step * i + 3] = static_cast<uint8_t>(i);
        }
    }
    if (height < 0) return {frame, bgr};
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> picture(bgr.size());
    for (int y = 0; y < height; ++y) {
        std::copy_n(bgr.begin() + ptrdiff_t((height - 1 - y) * row), row,
                    picture.begin() + ptrdiff_t(y * row));
    }
    return {frame, picture};
}

void PrintTo(const RawCase& c, std::ostream* os) {
    *os << c.width << "x" << c.height << " " << c.bitCount << "-bit palette " << c.palette
        << " encoder " << (c.encoder != nullptr ? c.encoder : "none");
}

class AviUncompressed : public testing::TestWithParam<RawCase> {};

TEST_P(AviUncompressed, EveryFrameDecodesBitExact) {
    const RawCase& c = GetParam();
    const ScratchDir dir;
    const int rows = std::abs(c.height);
    PaletteFormat format = MakeFormat(c.width, c.height, c.bitCount);
    if (c.palette == RawCase::kIron) zelir_test::UseIronPalette(format);
    if (c.palette == RawCase::kSixteenEntries) {
        // Only 16 entries belong to the caller; indices past them must show black, not
        // whatever lies behind the palette.
        format.header.biClrUsed = 16;
        for (int i = 16; i < 256; ++i) format.palette[i] = RGBQUAD{0x11, 0x22, 0x33, 0};
    }
    CAviCode avi;
    ASSERT_EQ(zelir::AviCodeAccess::CreateAviFile(avi, dir.WideFile("raw.avi").c_str(), 7,
                                                  format.info(), c.encoder),
              1);
    ASSERT_NE(zelir::AviCodeAccess::file(avi), nullptr);
    EXPECT_FALSE(zelir::AviCodeAccess::file(avi)->compressed());

    std::vector<uint8_t> expected;
    constexpr int kFrames = 4;
    for (int k = 0; k < kFrames; ++k) {
        const std::vector<uint8_t> indices = SceneFrame(c.width, rows, k * 3);
        std::vector<uint8_t> frame = indices, picture;
        if (c.bitCount != 8) {
            std::tie(frame, picture) = DirectColour(indices, c.width, c.height, c.bitCount);
        } else {
            PaletteFormat shown = format;
            if (c.palette == RawCase::kSixteenEntries) {
                std::fill(shown.palette.begin() + 16, shown.palette.end(), RGBQUAD{0, 0, 0, 0});
            }
            picture = zelir_test::ExpectedPicture(indices, shown);
        }
        ASSERT_EQ(avi.PushFrame(frame.data(), static_cast<int>(frame.size()), format.info()), 1);
        expected.insert(expected.end(), picture.begin(), picture.end());
    }
    EXPECT_EQ(avi.GetFrameCounter(), static_cast<unsigned>(kFrames));
    avi.CloseAviFile();

    auto facts = zelir_test::ProbeVideo(dir.File("raw.avi"));
    EXPECT_EQ((std::vector<std::string>{facts["codec_name"], facts["pix_fmt"], facts["width"],
                                        facts["height"], facts["r_frame_rate"],
                                        facts["nb_read_frames"], facts["TAG:title"]}),
              (std::vector<std::string>{"rawvideo", "bgr24", std::to_string(c.width),
                                        std::to_string(rows), "7/1", std::to_string(kFrames),
                                        "Infrared Video"}));
    EXPECT_TRUE(zelir_test::DecodeBgr(dir.File("raw.avi")) == expected);
}

INSTANTIATE_TEST_SUITE_P(Frames, AviUncompressed,
                         testing::Values(RawCase{64, 48, 8, RawCase::kGrey, "no-such-encoder"},
                                         RawCase{64, -48, 8, RawCase::kIron, "no-such-encoder"},
                                         RawCase{161, 37, 8, RawCase::kIron,
                                                 nullptr},  // rows padded in the file
                                         RawCase{30, 20, 8, RawCase::kSixteenEntries, nullptr},
                                         RawCase{33, 17, 24, RawCase::kGrey, nullptr},
                                         RawCase{33, 17, 32, RawCase::kGrey, nullptr},
                                         RawCase{33, 17, 16, RawCase::kGrey, nullptr}));

}  // namespace
