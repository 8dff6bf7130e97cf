// CAviCode through libzelir.so, judged by ffprobe and ffmpeg.
#include <zelir/avi_code.h>

#include "formats/avi_probe.h"
#include "formats/avi_test_scene.h"
#include "support/unit.h"

namespace {

using zelir_test::DecodeBgr;
using zelir_test::MakeFormat;
using zelir_test::PaletteFormat;
using zelir_test::ProbeVideo;
using zelir_test::SceneFrame;
using zelir_test::ScratchDir;

// Records `frames` scene frames; true when every push succeeded.
bool Record(CAviCode& avi, const PaletteFormat& format, int frames, int first = 0) {
    bool all = true;
    for (int k = first; k < first + frames; ++k) {
        const std::vector<uint8_t> frame =
            SceneFrame(format.header.biWidth, std::abs(format.header.biHeight), k);
        all =
            avi.PushFrame(frame.data(), static_cast<int>(frame.size()), format.info()) == 1 && all;
    }
    return all;
}

size_t FrameCount(const std::string& path) {
    return zelir_test::PacketFlags(path).size();
}

// The counter follows the pushes; closing, creating anew and destruction each finish the file
// that was being written, and pushes outside a recording write nothing.
TEST(CAviCode, EveryStartedFileIsFinishedWithItsFrames) {
    const ScratchDir dir;
    const PaletteFormat format = MakeFormat(64, 48);
    const std::vector<uint8_t> frame = SceneFrame(64, 48, 0);
    {
        CAviCode avi;
        ASSERT_EQ(avi.CreateAviFile(dir.WideFile("three.avi").c_str(), 10, format.info()), 1);
        ASSERT_TRUE(Record(avi, format, 3));
        EXPECT_EQ(avi.GetFrameCounter(), 3u);
        avi.CloseAviFile();
        EXPECT_EQ(avi.GetFrameCounter(), 0u);
        EXPECT_EQ(avi.PushFrame(frame.data(), static_cast<int>(frame.size()), format.info()), 0);
        ASSERT_EQ(avi.CreateAviFile(dir.WideFile("first.avi").c_str(), 10, format.info()), 1);
        ASSERT_TRUE(Record(avi, format, 5));
        ASSERT_EQ(avi.CreateAviFile(dir.WideFile("second.avi").c_str(), 10, format.info()), 1);
        EXPECT_EQ(avi.GetFrameCounter(), 0u);
        ASSERT_TRUE(Record(avi, format, 2));
    }
    EXPECT_EQ(FrameCount(dir.File("three.avi")), 3u);
    EXPECT_EQ(FrameCount(dir.File("first.avi")), 5u);
    EXPECT_EQ(FrameCount(dir.File("second.avi")), 2u);
}

struct BadCreate {
    const char* what;
    int width;
    int height;
    uint16_t bitCount;
    unsigned fps;
    bool nullFormat;
    const char* path;  // relative to the scratch directory; null: none
};

void PrintTo(const BadCreate& c, std::ostream* os) {
    *os << c.what;
}

class CAviCodeRefusesCreate : public testing::TestWithParam<BadCreate> {};

TEST_P(CAviCodeRefusesCreate, StaysIdle) {
    const BadCreate& c = GetParam();
    const ScratchDir dir;
    const PaletteFormat format = MakeFormat(c.width, c.height, c.bitCount);
    CAviCode avi;
    EXPECT_EQ(avi.CreateAviFile(c.path ? dir.WideFile(c.path).c_str() : nullptr, c.fps,
                                c.nullFormat ? nullptr : format.info()),
              0)
        << c.what;
    const std::vector<uint8_t> frame(static_cast<size_t>(64 * 48 * 3));
    EXPECT_EQ(avi.PushFrame(frame.data(), static_cast<int>(frame.size()), format.info()), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CAviCodeRefusesCreate,
    testing::Values(BadCreate{"null format", 64, 48, 8, 25, true, "a.avi"},
                    BadCreate{"fps 0", 64, 48, 8, 0, false, "a.avi"},
                    BadCreate{"width 0", 0, 48, 8, 25, false, "a.avi"},
                    BadCreate{"over 2 GiB expanded", 65536, 16384, 8, 25, false, "a.avi"},
                    BadCreate{"missing folder", 64, 48, 8, 25, false, "no/such/dir/a.avi"}));

// Frames that do not match the file are refused without advancing the counter.
TEST(CAviCode, RefusesFramesThatDoNotFit) {
    const ScratchDir dir;
    const PaletteFormat format = MakeFormat(64, 48);
    CAviCode avi;
    ASSERT_EQ(avi.CreateAviFile(dir.WideFile("fit.avi").c_str(), 10, format.info()), 1);
    std::vector<uint8_t> frame(64 * 48 * 3, 7);
    const int size8 = 64 * 48;
    struct Case {
        const char* what;
        PaletteFormat format;
        int size;
        const uint8_t* data;
    };
    const Case cases[] = {
        {"one byte short", format, size8 - 1, frame.data()},
        {"negative size", format, -1, frame.data()},
        {"null data", format, size8, nullptr},
        {"wider", MakeFormat(65, 48), 65 * 48, frame.data()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(avi.PushFrame(c.data, c.size, c.format.info()), 0) << c.what;
        EXPECT_EQ(avi.GetFrameCounter(), 0u) << c.what;
    }
    // The same rows the other way up are the same frame size and are taken.
    EXPECT_EQ(avi.PushFrame(frame.data(), size8, MakeFormat(64, -48).info()), 1);
    EXPECT_EQ(avi.PushFrame(frame.data(), size8, format.info()), 1);
    avi.CloseAviFile();
    EXPECT_EQ(FrameCount(dir.File("fit.avi")), 2u);
}

TEST(CAviCode, MoveHandsTheRecordingOver) {
    const ScratchDir dir;
    const PaletteFormat format = MakeFormat(64, 48);
    CAviCode first;
    ASSERT_EQ(first.CreateAviFile(dir.WideFile("moved.avi").c_str(), 10, format.info()), 1);
    ASSERT_TRUE(Record(first, format, 2));
    CAviCode second(std::move(first));
    EXPECT_EQ(first.IsRecording(), 0);
    EXPECT_EQ(second.GetFrameCounter(), 2u);
    ASSERT_TRUE(Record(second, format, 1, 2));
    EXPECT_FALSE(Record(first, format, 1));

    // Assigning over a recording object finishes that object's own file first.
    CAviCode third;
    ASSERT_EQ(third.CreateAviFile(dir.WideFile("replaced.avi").c_str(), 10, format.info()), 1);
    ASSERT_TRUE(Record(third, format, 4));
    third = std::move(second);
    EXPECT_EQ(FrameCount(dir.File("replaced.avi")), 4u);
    EXPECT_EQ(third.GetFrameCounter(), 3u);
    ASSERT_TRUE(Record(third, format, 1, 3));
    third.CloseAviFile();
    EXPECT_EQ(FrameCount(dir.File("moved.avi")), 4u);
}

// The whole-sequence helper a converter calls: frames come from a callback until it says stop,
// into an MPEG-4 file as ffprobe reads it, with a key frame every fps frames.
TEST(RecordAvi, WritesEveryFrameTheSourceGives) {
    const ScratchDir dir;
    const PaletteFormat iron = [] {
        PaletteFormat format = MakeFormat(96, 64);
        zelir_test::UseIronPalette(format);
        return format;
    }();
    const zelir::AviPaletteFormat format = zelir::MakeAviPaletteFormat(96, 64, iron.palette.data());
    int k = 0;
    const long written =
        zelir::RecordAvi(dir.WideFile("seq.avi").c_str(), 9, format, [&](unsigned char* pixels) {
            if (k == 20) return false;
            const std::vector<uint8_t> frame = SceneFrame(96, 64, k++);
            std::copy(frame.begin(), frame.end(), pixels);
            return true;
        });
    EXPECT_EQ(written, 20);
    auto facts = ProbeVideo(dir.File("seq.avi"));
    EXPECT_EQ(
        (std::vector<std::string>{facts["codec_name"], facts["codec_tag_string"], facts["width"],
                                  facts["height"], facts["r_frame_rate"], facts["nb_read_frames"],
                                  facts["TAG:title"]}),
        (std::vector<std::string>{"mpeg4", "XVID", "96", "64", "9/1", "20", "Infrared Video"}));
    EXPECT_EQ(zelir_test::KeyFrames(dir.File("seq.avi")), (std::vector<int>{0, 9, 18}));
    // The palette reached the file: the last frame decodes close to its iron picture.
    const std::vector<uint8_t> decoded = DecodeBgr(dir.File("seq.avi"));
    const std::vector<uint8_t> last = zelir_test::ExpectedPicture(SceneFrame(96, 64, 19), iron);
    ASSERT_EQ(decoded.size(), last.size() * 20);
    EXPECT_GT(zelir_test::Psnr(decoded.data() + last.size() * 19, last.data(), last.size()), 30.0);

    EXPECT_EQ(zelir::RecordAvi(dir.WideFile("no/dir/x.avi").c_str(), 9, format,
                               [](unsigned char*) { return true; }),
              -1);
}

}  // namespace
