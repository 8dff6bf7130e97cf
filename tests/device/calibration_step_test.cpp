// Two-point calibration: requests are taken by the next processed frame and reach the
// arithmetic library, whose correction then flattens the fixed pattern.
#include <zelir/zelir.h>

#include "support/fake_handle.h"
#include "support/open_handle.h"
#include "support/unit.h"

namespace {

using zelir_test::Frame;

constexpr uint16_t kW = 64;
constexpr uint16_t kH = 48;

// A uniform scene seen through per-pixel gain and offset.
Frame PatternedScene(double level) {
    Frame frame(size_t{kW} * kH);
    for (size_t i = 0; i < frame.size(); ++i) {
        const double gain = 1.0 + 0.08 * std::sin(i * 0.7);
        const double offset = 300.0 * std::cos(i * 1.3);
        frame[i] = static_cast<uint16_t>(std::lround(2000 + offset + gain * level));
    }
    return frame;
}

double Spread(const Frame& frame) {
    const double mean = std::accumulate(frame.begin(), frame.end(), 0.0) / frame.size();
    double sum = 0;
    for (uint16_t v : frame) sum += (v - mean) * (v - mean);
    return std::sqrt(sum / frame.size());
}

TEST(TwoPointCalibration, P1AndP2OnMovieFramesFlattenTheFixedPattern) {
    zelir_test::ScratchDir dir("calib");
    // Frame 0 is never processed here; frames 1 and 2 are the references; 3 and 4 are the
    // scene at other levels.
    const std::vector<Frame> frames = {PatternedScene(0), PatternedScene(4000),
                                       PatternedScene(9000), PatternedScene(4000),
                                       PatternedScene(6500)};
    zelir_test::WriteMovie(dir.File("ref.irm"), kW, kH, frames, 5);
    zelir_test::OpenHandle movie(ZelIr_MovieFileOpen(dir.WideFile("ref.irm").c_str()));
    ASSERT_TRUE(movie);
    ASSERT_EQ(ZelIr_CalibrateP1(movie.get()), 1);
    ASSERT_EQ(ZelIr_GetNewArray(movie.get()), 1);  // frame 1: low point
    ASSERT_EQ(ZelIr_CalibrateP2(movie.get()), 1);
    ASSERT_EQ(ZelIr_GetNewArray(movie.get()), 1);  // frame 2: high point, coefficients
    ASSERT_EQ(ZelIr_DebugSet(movie.get(), 1), 1);
    EXPECT_EQ(ZelIr_DebugGet(movie.get()), 1);

    Frame corrected(frames[0].size());
    for (int i = 3; i <= 4; ++i) {
        ASSERT_EQ(ZelIr_GetNewArray(movie.get()), 1);
        ZelIr_GetDigitArray(movie.get(), corrected.data(), nullptr);
        EXPECT_LT(Spread(corrected), 0.01 * Spread(frames[i])) << "frame " << i;
    }
    ASSERT_EQ(ZelIr_CalibrateReset(movie.get()), 1);
    ZelIr_MovieBackward(movie.get(), 1);  // frame 3 again, uncorrected now
    ZelIr_GetDigitArray(movie.get(), corrected.data(), nullptr);
    EXPECT_EQ(corrected, frames[3]);
}

TEST(TwoPointCalibration, NullCheckedExportsRefuseForeignHandles) {
    int foreign = 0;
    EXPECT_EQ(ZelIr_CalibrateP1(nullptr), 0);
    EXPECT_EQ(ZelIr_CalibrateGetCurrChan(&foreign), -1);
    EXPECT_EQ(ZelIr_ReadDataCalcK(&foreign, L"a.raw", L"b.raw"), 0);
}

// P1AndP2OnMovieFramesFlattenTheFixedPattern takes the point requests; here the shutter
// calibration a camera runs.
TEST(CalibrationStep, ShutterCalibrationIsTakenByOneFrameAndReturnsToIdle) {
    zelir_test::FakeSource stream(kStreamGigE, kW, kH);
    stream.MakeReady();
    Frame frame = PatternedScene(100);
    auto* bytes = reinterpret_cast<uint8_t*>(frame.data());
    stream.Calibrate();
    EXPECT_EQ(stream.CalibrationState(), 1u);
    stream.CalibrationStep(bytes);
    EXPECT_EQ(stream.CalibrationState(), 0u);
}

}  // namespace
