// Recorded files opened as sources, through the public interface only.
#include <zelir/zelir.h>

#include "support/debug_capture.h"
#include "support/finishes_within.h"
#include "support/open_handle.h"
#include "support/unit.h"

namespace {

using zelir_test::Frame;
using zelir_test::NumberedFrame;
using zelir_test::ScratchDir;

constexpr uint16_t kW = 48;
constexpr uint16_t kH = 36;

using Handle = zelir_test::OpenHandle;

class Playback : public ::testing::Test {
  protected:
    void SetUp() override {
        for (uint32_t i = 0; i < 6; ++i) frames_.push_back(NumberedFrame(kW, kH, i));
        zelir_test::WriteMovie(dir_.File("six.irm"), kW, kH, frames_, 6);
    }
    Handle OpenMovie() { return Handle(ZelIr_MovieFileOpen(dir_.WideFile("six.irm").c_str())); }
    Frame Digits(const Handle& handle) {
        Frame digits(size_t{kW} * kH);
        uint32_t kind = 9;
        EXPECT_EQ(ZelIr_GetDigitArray(handle.get(), digits.data(), &kind), 1);
        EXPECT_EQ(kind, 0u);
        return digits;
    }
    // The movie stands at `position` and shows frame `frame`.
    void ExpectAt(const Handle& movie, uint32_t position, size_t frame) {
        EXPECT_EQ(ZelIr_MovieGetPosi(movie.get()), position);
        EXPECT_EQ(Digits(movie), frames_[frame]);
    }
    ScratchDir dir_{"playback"};
    std::vector<Frame> frames_;
};

TEST_F(Playback, MovieOpensAsMovieHandle) {
    Handle movie = OpenMovie();
    ASSERT_TRUE(movie);
    uint32_t w = 0, h = 0;
    EXPECT_EQ(ZelIr_GetDigitArrayPara(movie.get(), &w, &h), 1);
    // MovieFileOpen runs the movie (not paused).
    EXPECT_EQ((std::array<uint32_t, 7>{
                  ZelIr_GetHandleType(movie.get()), ZelIr_GetHandleTypeExt(movie.get()),
                  ZelIr_MovieGetTotalFrm(movie.get()), ZelIr_MovieGetPosi(movie.get()),
                  ZelIr_MovieIsPause(movie.get()), w, h}),
              (std::array<uint32_t, 7>{2, 6, 6, 0, 0, kW, kH}));
    Handle paused(ZelIr_RawImageOpen(dir_.WideFile("six.irm").c_str()));
    ASSERT_TRUE(paused);
    EXPECT_EQ(ZelIr_MovieIsPause(paused.get()), 1u);  // RawImageOpen leaves it paused
}

TEST_F(Playback, StepsAndBoundaries) {
    Handle movie = OpenMovie();
    ASSERT_TRUE(movie);
    ZelIr_SetCyclePlay(movie.get(), 0);
    ASSERT_EQ(ZelIr_GetNewArray(movie.get()), 1);  // the first request delivers frame 1
    ExpectAt(movie, 1, 1);

    EXPECT_EQ(ZelIr_MovieGoto(movie.get(), 0), 0);
    EXPECT_EQ(ZelIr_MovieGoto(movie.get(), 6), 0);
    EXPECT_EQ(ZelIr_MovieGetPosi(movie.get()), 1u);
    EXPECT_EQ(ZelIr_MovieGoto(movie.get(), 3), 1);
    EXPECT_EQ(Digits(movie), frames_[1]);  // goto moves without fetching

    EXPECT_EQ(ZelIr_MovieBackward(movie.get(), 10), 1);  // 3 - 10 clamps to 0 and fetches
    ExpectAt(movie, 0, 0);

    EXPECT_EQ(ZelIr_MovieForward(movie.get(), 100), 1);  // clamps to the last frame
    ExpectAt(movie, 5, 5);

    ASSERT_EQ(ZelIr_GetNewArray(movie.get()), 1);  // without loop play the last frame repeats
    ExpectAt(movie, 5, 5);
}

// Loop play (on after opening) wraps to frame 0; a paused movie still steps on request and keeps
// its pause flag; a direct request advances but reports 0 on a movie.
TEST_F(Playback, LoopWrapsPauseStaysAndDirectReportsZero) {
    Handle movie = OpenMovie();
    ASSERT_TRUE(movie);
    EXPECT_EQ(ZelIr_IsCyclePlay(movie.get()), 1u);
    ZelIr_MovieForward(movie.get(), 5);
    ASSERT_EQ(ZelIr_GetNewArray(movie.get()), 1);
    ExpectAt(movie, 0, 0);

    EXPECT_EQ(ZelIr_MoviePause(movie.get(), 1), 1);
    ZelIr_GetNewArray(movie.get());
    ZelIr_GetNewArray(movie.get());
    EXPECT_EQ(ZelIr_MovieGetPosi(movie.get()), 2u);
    ZelIr_MovieForward(movie.get(), 1);
    ZelIr_MovieBackward(movie.get(), 1);
    EXPECT_EQ(ZelIr_MovieIsPause(movie.get()), 1u);
    EXPECT_EQ(ZelIr_GetNewArrayDirect(movie.get()), 0);
    ExpectAt(movie, 3, 3);
}

TEST_F(Playback, MovieOnlyExportsRefuseOtherHandles) {
    Handle movie = OpenMovie();
    ASSERT_TRUE(movie);
    ZelIr_MovieForward(movie.get(), 0);
    const std::wstring image = dir_.WideFile("frame.bmp");
    ASSERT_EQ(ZelIr_SaveCurrImage(movie.get(), image.c_str()), 1);
    Handle still(ZelIr_RawImageOpen(image.c_str()));
    ASSERT_TRUE(still);
    EXPECT_EQ(ZelIr_MovieForward(still.get(), 1), 0);
    EXPECT_EQ(ZelIr_MovieGetTotalFrm(still.get()), 0u);
}

struct KindCase {
    const char* name;
    bool opens;
    uint32_t handleType;
    uint32_t streamType;
};

TEST_F(Playback, KindFollowsTheExtension) {
    const auto copy = [&](const char* from, const char* to) {
        std::filesystem::copy_file(dir_.File(from), dir_.File(to));
    };
    copy("six.irm", "UPPER.IRM");
    copy("six.irm", "other.iiv");
    const KindCase cases[] = {
        {"UPPER.IRM", true, 2, 6}, {"other.iiv", false, 0, 0}, {"missing.irm", false, 0, 0}};
    for (const KindCase& c : cases) {
        Handle handle(ZelIr_RawImageOpen(dir_.WideFile(c.name).c_str()));
        EXPECT_EQ(static_cast<bool>(handle), c.opens) << c.name;
        EXPECT_EQ(ZelIr_GetHandleType(handle.get()), c.handleType) << c.name;
        if (handle) {
            EXPECT_EQ(ZelIr_GetHandleTypeExt(handle.get()), c.streamType) << c.name;
        }
    }
    EXPECT_EQ(ZelIr_RawImageOpen(nullptr), nullptr);
}

TEST_F(Playback, BadFilesFailTheOpenCleanly) {
    using zelir_test::WriteBytes;
    WriteBytes(dir_.File("empty.irm"), {});
    zelir_test::WriteMovie(dir_.File("tall.irm"), 48, 1025, {}, 0);
    WriteBytes(dir_.File("odd.raw"), std::vector<uint8_t>(221185, 7));
    WriteBytes(dir_.File("truncated.bmp"), std::vector<uint8_t>{'B', 'M', 0xFF, 0xFF, 0, 0});
    for (const char* name : {"empty.irm", "tall.irm", "odd.raw", "truncated.bmp"}) {
        EXPECT_EQ(ZelIr_MovieFileOpen(dir_.WideFile(name).c_str()), nullptr) << name;
    }
    EXPECT_EQ(ZelIr_MovieFileOpen(std::wstring(300, L'a').append(L".irm").c_str()), nullptr);
}

TEST_F(Playback, RawImageWithLeadingRowsSkipsThem) {
    std::vector<uint8_t> bytes(222720, 0x77);  // 1,536 bytes of parameter rows, then pixels
    for (size_t k = 0; k < 384 * 288; ++k) {
        bytes[1536 + 2 * k] = static_cast<uint8_t>(k);
        bytes[1536 + 2 * k + 1] = static_cast<uint8_t>(k >> 8);
    }
    zelir_test::WriteBytes(dir_.File("lead.raw"), bytes);
    Handle raw(ZelIr_RawImageOpen(dir_.WideFile("lead.raw").c_str()));
    ASSERT_TRUE(raw);
    ASSERT_EQ(ZelIr_GetNewArray(raw.get()), 1);
    uint32_t w = 0, h = 0;
    ZelIr_GetDigitArrayPara(raw.get(), &w, &h);
    EXPECT_EQ((std::pair{w, h}), (std::pair{384u, 288u}));
    // Pixel k holds k; outside the frame reads 0.
    for (const auto& [x, y, value] : {std::tuple{1, 0, 1.0},
                                      {0, 1, 384.0},
                                      {383, 100, 100.0 * 384 + 383},
                                      {384, 0, 0.0},
                                      {0, -1, 0.0}}) {
        EXPECT_EQ(ZelIr_GetDigitVal(raw.get(), x, y), value) << x << "," << y;
    }
    void* block = nullptr;
    ASSERT_EQ(ZelIr_GetDeviceIRIParam(raw.get(), &block), 1);
    EXPECT_EQ(static_cast<ZelIrParameterBlock*>(block)->headerLines, 2);
}

// A FIFO would block the open, /dev/zero never ends: neither is read, and the open says why.
TEST_F(Playback, SpecialFilesAreRefusedWithAMessage) {
    ASSERT_TRUE(zelir_test::MakeFifo(dir_.File("fifo.irm")));
    ASSERT_TRUE(zelir_test::MakeFifo(dir_.File("fifo.raw")));
    std::filesystem::create_symlink("/dev/zero", dir_.File("zero.bmp"));
    for (const char* name : {"fifo.irm", "fifo.raw", "zero.bmp"}) {
        zelir::test::DebugCapture capture;
        zelir_test::ExpectFinishesWithin(std::chrono::seconds(20), name, [&] {
            EXPECT_EQ(ZelIr_MovieFileOpen(dir_.WideFile(name).c_str()), nullptr) << name;
        });
        EXPECT_EQ(capture.CountContaining(dir_.File(name) + " is not a regular file"), 1u) << name;
    }
}

struct UnfinishedCase {
    uint32_t framesHeld;
    uint32_t total;  // 0: refused
};

class UnfinishedMovie : public Playback, public ::testing::WithParamInterface<UnfinishedCase> {};

// A recording that was never stopped: 640 x 512, the frame count from the file length when it
// holds more than 10 frames, otherwise refused; either way the debug output says so.
TEST_P(UnfinishedMovie, OpensWithTheComputedCountOrIsRefusedAndSaysSo) {
    const UnfinishedCase c = GetParam();
    std::vector<Frame> frames;
    for (uint32_t i = 0; i < c.framesHeld; ++i) frames.push_back(NumberedFrame(640, 512, i));
    zelir_test::WriteMovie(dir_.File("open.irm"), 0, 0, frames, 0, false);
    zelir::test::DebugCapture capture;
    Handle movie(ZelIr_MovieFileOpen(dir_.WideFile("open.irm").c_str()));
    EXPECT_EQ(movie != nullptr, c.total != 0);
    if (movie) {
        EXPECT_EQ(ZelIr_MovieGetTotalFrm(movie.get()), c.total);
    }
    EXPECT_EQ(capture.CountContaining("open.irm was not finished"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Lengths, UnfinishedMovie,
                         ::testing::Values(UnfinishedCase{10, 0}, UnfinishedCase{11, 11}));

// The header counts 9 frames, the file holds 6: within the tolerance the header's count is
// reported, and every position past frame 5 shows frame 5.
TEST_F(Playback, PositionsPastTheLastWholeFrameRepeatIt) {
    zelir_test::WriteMovie(dir_.File("short.irm"), kW, kH, frames_, 9);
    Handle movie(ZelIr_MovieFileOpen(dir_.WideFile("short.irm").c_str()));
    ASSERT_TRUE(movie);
    ZelIr_SetCyclePlay(movie.get(), 0);
    EXPECT_EQ((std::pair{ZelIr_MovieGetTotalFrm(movie.get()), ZelIr_MovieGetWholeFrm(movie.get())}),
              (std::pair{9u, 6u}));
    ASSERT_EQ(ZelIr_GetNewArray(movie.get()), 1);
    EXPECT_EQ(Digits(movie), frames_[1]);
    EXPECT_EQ(ZelIr_MovieForward(movie.get(), 100), 1);
    ExpectAt(movie, 8, 5);
    EXPECT_EQ(ZelIr_MovieBackward(movie.get(), 2), 1);
    EXPECT_EQ(Digits(movie), frames_[5]);
}

// The image's own parameter line wins over para.ini from the open on, not only after a fetch.
TEST_F(Playback, CombinedImageParameterLineHoldsFromTheOpen) {
    std::vector<Frame> frames = frames_;
    for (Frame& frame : frames) zelir_test::PutParameterLine(frame, kW, kH, 7);
    zelir_test::WriteMovie(dir_.File("line.irm"), kW, kH, frames, 6);
    {
        Handle movie(ZelIr_MovieFileOpen(dir_.WideFile("line.irm").c_str()));
        ASSERT_TRUE(movie);
        ASSERT_EQ(ZelIr_GetNewArray(movie.get()), 1);
        ASSERT_EQ(ZelIr_SaveCurrImage(movie.get(), dir_.WideFile("line.bmp").c_str()), 1);
    }
    Handle image(ZelIr_MovieFileOpen(dir_.WideFile("line.bmp").c_str()));
    ASSERT_TRUE(image);
    void* block = nullptr;
    ASSERT_EQ(ZelIr_GetDeviceIRIParam(image.get(), &block), 1);
    EXPECT_EQ(static_cast<ZelIrParameterBlock*>(block)->pole, 7);
}

}  // namespace
