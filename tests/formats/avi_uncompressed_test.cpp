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
    enum Palette { kGrey, kIron, kSixteenEntries } palette;
    const char* encoder;
};

void PrintTo(const RawCase& c, std::ostream* os) {
    *os << c.width << "x" << c.height << " palette " << c.palette << " encoder "
        << (c.encoder != nullptr ? c.encoder : "none");
}

class AviUncompressed : public testing::TestWithParam<RawCase> {};

TEST_P(AviUncompressed, EveryFrameDecodesBitExact) {
    const RawCase& c = GetParam();
    const ScratchDir dir;
    const int rows = std::abs(c.height);
    PaletteFormat format = MakeFormat(c.width, c.height);
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
        PaletteFormat shown = format;
        if (c.palette == RawCase::kSixteenEntries) {
            std::fill(shown.palette.begin() + 16, shown.palette.end(), RGBQUAD{0, 0, 0, 0});
        }
        const std::vector<uint8_t> picture = zelir_test::ExpectedPicture(indices, shown);
        ASSERT_EQ(avi.PushFrame(indices.data(), static_cast<int>(indices.size()), format.info()),
                  1);
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
                         testing::Values(RawCase{64, 48, RawCase::kGrey, "no-such-encoder"},
                                         RawCase{64, -48, RawCase::kIron, "no-such-encoder"},
                                         RawCase{161, 37, RawCase::kIron,
                                                 nullptr},  // rows padded in the file
                                         RawCase{30, 20, RawCase::kSixteenEntries, nullptr}));

}  // namespace
