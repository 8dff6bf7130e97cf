// Two-point calibration on a sensor with known per-pixel gain and offset.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "arith/synthetic_frames.h"
#include "arith/zelir_arith.h"
#include "support/debug_capture.h"

namespace {

using arith_test::Sensor;
using arith_test::StdDev16;
using zelir::test::DebugCapture;

// Four noisy frames per reference, as a stream would deliver them.
void Calibrate(ZelIrArith& arith, const Sensor& sensor, double lowFlux = 4000,
               double highFlux = 9000) {
    for (int frame = 1; frame <= 4; ++frame) {
        arith.SetLData(sensor.Frame(lowFlux, 3, frame).data(), frame);
    }
    EXPECT_TRUE(arith.GetLData(0, true));
    for (int frame = 1; frame <= 4; ++frame) {
        arith.SetHData(sensor.Frame(highFlux, 3, 10 + frame).data(), frame);
    }
    EXPECT_TRUE(arith.GetHData());
    ASSERT_TRUE(arith.CalcK());
}

struct Geometry {
    int w;
    int h;
};

class FixedPatternTest : public ::testing::TestWithParam<Geometry> {};

TEST_P(FixedPatternTest, ResidualIsBelowOnePercentOfTheUncorrected) {
    const auto [w, h] = GetParam();
    const Sensor sensor(w, h);
    ZelIrArith arith;
    arith.Init(w, h, L"", L"");
    Calibrate(arith, sensor);

    for (double flux : {4000.0, 5500.0, 7000.0, 9000.0}) {
        auto frame = sensor.Frame(flux);
        const double before = StdDev16(frame);
        arith.GenY16(frame.data(), w, h, true);
        const double after = StdDev16(frame);
        EXPECT_LT(after, 0.01 * before) << "flux " << flux << ": " << before << " -> " << after;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FixedPatternTest,
                         ::testing::Values(Geometry{48, 36}, Geometry{160, 120},
                                           Geometry{640, 512}));

TEST(TwoPointCalibration, DeadHotAndWildPixelsAreReplacedByPlausibleValues) {
    const int w = 96, h = 72;
    Sensor sensor(w, h);
    const int dead = 20 * w + 30, hot = 40 * w + 50, wild = 60 * w + 10, edge = 5 * w;
    sensor.gain[dead] = 0.0;
    sensor.offset[dead] = 150;
    sensor.gain[hot] = 0.0;
    sensor.offset[hot] = 70000;  // clamps at full scale
    sensor.gain[wild] = 1.8;     // responds, but far from the others
    sensor.gain[edge] = 0.0;     // on the left border
    ZelIrArith arith;
    arith.Init(w, h, L"", L"");
    Calibrate(arith, sensor);

    auto frame = sensor.SceneFrame(4000, 9000);
    arith.GenY16(frame.data(), w, h, true);
    for (int pixel : {dead, hot, wild, edge}) {
        std::vector<int> neighbours;
        for (int offset : {-1, 1, -w, w}) {
            const int n = pixel + offset;
            if (n >= 0 && n < w * h && (offset == -1 ? pixel % w != 0 : true)) {
                neighbours.push_back(frame[n]);
            }
        }
        const auto [lo, hi] = std::minmax_element(neighbours.begin(), neighbours.end());
        EXPECT_GE(frame[pixel], *lo - 1) << pixel;
        EXPECT_LE(frame[pixel], *hi + 1) << pixel;
    }
}

TEST(TwoPointCalibration, ResetReturnsToTheIdentity) {
    const Sensor sensor(64, 48);
    ZelIrArith arith;
    arith.Init(64, 48, L"", L"");
    Calibrate(arith, sensor);
    const auto raw = sensor.Frame(6000);
    auto frame = raw;
    arith.GenY16(frame.data(), 64, 48, true);
    ASSERT_NE(frame, raw);
    arith.ResetTwoPT();
    frame = raw;
    arith.GenY16(frame.data(), 64, 48, true);
    EXPECT_EQ(frame, raw);
}

TEST(TwoPointCalibration, CorrectionTypesSelectWhatIsApplied) {
    Sensor sensor(64, 48);
    sensor.gain[100] = 0.0;  // one dead pixel
    ZelIrArith arith;
    arith.Init(64, 48, L"", L"");
    Calibrate(arith, sensor);
    const auto raw = sensor.Frame(6000);
    auto run = [&](int type) {
        arith.SetArithType(type);
        auto frame = raw;
        arith.GenY16(frame.data(), 64, 48, true);
        return frame;
    };
    const auto full = run(ZelIrArith::kTypeGainOffset);
    const auto badOnly = run(ZelIrArith::kTypeBadPixelsOnly);
    EXPECT_LT(StdDev16(full), 0.01 * StdDev16(raw));
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (i != 100) {
            ASSERT_EQ(badOnly[i], raw[i]) << i;
        }
    }
    EXPECT_NE(badOnly[100], raw[100]);
    EXPECT_EQ(run(42), full) << "unknown types correct fully";
}

TEST(TwoPointCalibration, RefusesMissingOrFlatReferences) {
    DebugCapture capture;
    const Sensor sensor(64, 48);
    ZelIrArith arith;
    arith.Init(64, 48, L"", L"");
    EXPECT_FALSE(arith.CalcK());
    arith.SetLData(sensor.Frame(5000).data(), 1);
    EXPECT_TRUE(arith.GetLData(0, true));
    EXPECT_FALSE(arith.CalcK()) << "no high reference";
    arith.SetHData(sensor.Frame(5000).data(), 1);
    EXPECT_TRUE(arith.GetHData());
    EXPECT_FALSE(arith.CalcK()) << "high equals low";
    EXPECT_EQ(capture.Messages(),
              (std::vector<std::string>{
                  "ZelIrArith: calibration needs a low and a high reference\n",
                  "ZelIrArith: calibration needs a low and a high reference\n",
                  "ZelIrArith: calibration refused: the high reference is not above the low\n"}));
    // Nothing was applied.
    const auto raw = sensor.Frame(6000);
    auto frame = raw;
    arith.GenY16(frame.data(), 64, 48, true);
    EXPECT_EQ(frame, raw);
}

TEST(TwoPointCalibration, ANewFirstFrameRestartsTheAverage) {
    const Sensor sensor(64, 48);
    ZelIrArith restarted, clean;
    restarted.Init(64, 48, L"", L"");
    clean.Init(64, 48, L"", L"");
    // An earlier low point taken at another temperature must not leak into the new one.
    restarted.SetLData(sensor.Frame(1000).data(), 1);
    restarted.GetLData(0, true);
    for (ZelIrArith* arith : {&restarted, &clean}) {
        arith->SetLData(sensor.Frame(4000).data(), 1);
        arith->GetLData(0, true);
        arith->SetHData(sensor.Frame(9000).data(), 1);
        arith->GetHData();
        ASSERT_TRUE(arith->CalcK());
    }
    auto a = sensor.Frame(6000), b = a;
    restarted.GenY16(a.data(), 64, 48, true);
    clean.GenY16(b.data(), 64, 48, true);
    EXPECT_EQ(a, b);
}

}  // namespace
