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

// The picture a 24-bit frame shows, top row first.
std::vector<uint8_t> TopDown(const std::vector<uint8_t>& bgr, int width, int height) {
    if (height < 0) return bgr;
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> picture(bgr.size());
    for (int y = 0; y < height; ++y) {
        std::copy_n(bgr.begin() + static_cast<ptrdiff_t>((height - 1 - y) * row), row,
                    picture.begin() + static_cast<ptrdiff_t>(y * row));
    }
    return picture;
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
        std::vector<uint8_t> picture;
        if (c.bitCount == 8) {
            ASSERT_EQ(
                avi.PushFrame(indices.data(), static_cast<int>(indices.size()), format.info()), 1);
            PaletteFormat shown = format;
            if (c.palette == RawCase::kSixteenEntries) {
                std::fill(shown.palette.begin() + 16, shown.palette.end(), RGBQUAD{0, 0, 0, 0});
            }
            picture = zelir_test::ExpectedPicture(indices, shown);
        } else {
            // A frame made of the scene's values, with a per-channel twist so that a swapped
            // channel shows; 16-bit pixels are 5:5:5 (bit 15 unused), 32-bit ones carry a
            // fourth byte the picture ignores.
            std::vector<uint8_t> bgr(indices.size() * 3);
            std::vector<uint8_t> frame(indices.size() * (c.bitCount / 8));
            for (size_t i = 0; i < indices.size(); ++i) {
                const uint8_t b = indices[i];
                const auto g = static_cast<uint8_t>(255 - indices[i]);
                const auto r = static_cast<uint8_t>(indices[i] * 3);
                if (c.bitCount == 16) {
                    const auto five = [](uint8_t v) { return v >> 3; };
                    const auto wide = [](int v) { return static_cast<uint8_t>(v << 3 | v >> 2); };
                    const auto word =
                        static_cast<uint16_t>(0x8000 | five(r) << 10 | five(g) << 5 | five(b));
                    frame[2 * i] = static_cast<uint8_t>(word);
                    frame[2 * i + 1] = static_cast<uint8_t>(word >> 8);
                    bgr[3 * i] = wide(five(b));
                    bgr[3 * i + 1] = wide(five(g));
                    bgr[3 * i + 2] = wide(five(r));
                    continue;
                }
                bgr[3 * i] = b;
                bgr[3 * i + 1] = g;
                bgr[3 * i + 2] = r;
                const size_t step = c.bitCount / 8;
                std::copy_n(&bgr[3 * i], 3, &frame[step * i]);
                if (step == 4) frame[step * i + 3] = static_cast<uint8_t>(i);
            }
            ASSERT_EQ(avi.PushFrame(frame.data(), static_cast<int>(frame.size()), format.info()),
                      1);
            picture = TopDown(bgr, c.width, c.height);
        }
        expected.insert(expected.end(), picture.begin(), picture.end());
    }
    EXPECT_EQ(avi.GetFrameCounter(), static_cast<unsigned>(kFrames));
    avi.CloseAviFile();

    auto facts = zelir_test::ProbeVideo(dir.File("raw.avi"));
    EXPECT_EQ(facts["codec_name"], "rawvideo");
    EXPECT_EQ(facts["pix_fmt"], "bgr24");
    EXPECT_EQ(facts["width"], std::to_string(c.width));
    EXPECT_EQ(facts["height"], std::to_string(rows));
    EXPECT_EQ(facts["r_frame_rate"], "7/1");
    EXPECT_EQ(facts["nb_read_frames"], std::to_string(kFrames));
    EXPECT_EQ(facts["TAG:title"], "Infrared Video");
    EXPECT_EQ(zelir_test::KeyFrames(dir.File("raw.avi")), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(zelir_test::DecodeBgr(dir.File("raw.avi")) == expected);
}

INSTANTIATE_TEST_SUITE_P(Frames, AviUncompressed,
                         testing::Values(RawCase{64, 48, 8, RawCase::kGrey, "no-such-encoder"},
                                         RawCase{64, -48, 8, RawCase::kIron, "no-such-encoder"},
                                         RawCase{161, 37, 8, RawCase::kIron,
                                                 nullptr},  // rows padded in the file
                                         RawCase{30, 20, 8, RawCase::kSixteenEntries, nullptr},
                                         RawCase{33, 17, 24, RawCase::kGrey, nullptr},
                                         RawCase{40, -24, 24, RawCase::kGrey, nullptr},
                                         RawCase{33, 17, 32, RawCase::kGrey, nullptr},
                                         RawCase{40, -24, 32, RawCase::kGrey, nullptr},
                                         RawCase{33, 17, 16, RawCase::kGrey, nullptr},
                                         RawCase{40, -24, 16, RawCase::kGrey, nullptr}));

}  // namespace
