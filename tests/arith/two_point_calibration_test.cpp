// Two-point calibration on a sensor with known per-pixel gain and offset.
#include "arith/two_point_calibration.h"
#include "arith/synthetic_frames.h"
#include "arith/zelir_arith.h"
#include "support/unit.h"

namespace {

using arith_test::Corrected;
using arith_test::Sensor;
using arith_test::StdDev;

struct Geometry {
    int w;
    int h;
};

class FixedPatternTest : public ::testing::TestWithParam<Geometry> {};

// Four noisy frames per reference, as a stream would deliver them.
TEST_P(FixedPatternTest, ResidualIsBelowOnePercentOfTheUncorrected) {
    const auto [w, h] = GetParam();
    const Sensor sensor(w, h);
    ZelIrArith arith;
    arith.Init(w, h, L"", L"");
    ASSERT_TRUE(arith_test::Calibrate(arith, sensor, 4, 3));
    for (double flux : {4000.0, 5500.0, 7000.0, 9000.0}) {
        const auto raw = sensor.Frame(flux);
        EXPECT_LT(StdDev(Corrected(arith, raw, w, h)), 0.01 * StdDev(raw)) << flux;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FixedPatternTest,
                         ::testing::Values(Geometry{48, 36}, Geometry{640, 512}));

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
    ASSERT_TRUE(arith_test::Calibrate(arith, sensor, 4, 3));
    const auto frame = Corrected(arith, sensor.SceneFrame(4000, 9000), w, h);
    for (int pixel : {dead, hot, wild, edge}) {
        std::vector<int> neighbours;
        for (int n : {pixel - 1, pixel + 1, pixel - w, pixel + w}) {
            if (n >= 0 && n < w * h && (n != pixel - 1 || pixel % w != 0)) {
                neighbours.push_back(frame[n]);
            }
        }
        const auto [lo, hi] = std::minmax_element(neighbours.begin(), neighbours.end());
        EXPECT_GE(frame[pixel], *lo - 1) << pixel;
        EXPECT_LE(frame[pixel], *hi + 1) << pixel;
    }
}

// Reset returns to the identity; the types choose between full and bad-pixel-only correction.
TEST(TwoPointCalibration, CorrectionTypesSelectWhatIsAppliedAndResetUndoesIt) {
    Sensor sensor(64, 48);
    sensor.gain[100] = 0.0;  // one dead pixel
    ZelIrArith arith;
    arith.Init(64, 48, L"", L"");
    ASSERT_TRUE(arith_test::Calibrate(arith, sensor, 4, 3));
    const auto raw = sensor.Frame(6000);
    auto run = [&](int type) {
        arith.SetArithType(type);
        return Corrected(arith, raw, 64, 48);
    };
    const auto full = run(ZelIrArith::kTypeGainOffset);
    auto badOnly = run(ZelIrArith::kTypeBadPixelsOnly);
    EXPECT_NE(badOnly[100], raw[100]);
    badOnly[100] = raw[100];
    EXPECT_EQ(badOnly, raw);
    arith.ResetTwoPT();
    EXPECT_EQ(run(ZelIrArith::kTypeGainOffset), raw);
}

TEST(TwoPointCalibration, RefusesMissingOrFlatReferences) {
    const Sensor sensor(64, 48);
    ZelIrArith arith;
    arith.Init(64, 48, L"", L"");
    arith.SetLData(sensor.Frame(5000).data(), 1);
    EXPECT_TRUE(arith.GetLData(0, true));
    EXPECT_FALSE(arith.CalcK()) << "no high reference";
    arith.SetHData(sensor.Frame(5000).data(), 1);
    arith.GetHData();
    EXPECT_FALSE(arith.CalcK()) << "high equals low";
    EXPECT_EQ(Corrected(arith, sensor.Frame(6000), 64, 48), sensor.Frame(6000)) << "not applied";
}

using zelir::arith::CalibrationResult;
using zelir::arith::ReferenceAverage;

// Two references of `pixels` pixels, each with `frames` frames (low 1000, high 3000).
ReferenceAverage Reference(std::size_t pixels, int frames, std::uint16_t level) {
    ReferenceAverage reference;
    reference.Resize(pixels);
    const std::vector<std::uint16_t> frame(pixels, level);
    for (int i = 0; i < frames; ++i) reference.Add(frame);
    return reference;
}

// A frame of another size is not summed: a larger one would write past the sums.
TEST(TwoPointCalibration, ReferenceTakesOnlyFramesOfItsSize) {
    ReferenceAverage reference = Reference(4, 1, 1000);
    for (std::size_t pixels : {3u, 5u}) reference.Add(std::vector<std::uint16_t>(pixels, 9));
    EXPECT_EQ(reference.Frames(), 1u);
    EXPECT_FLOAT_EQ(reference.Mean(3), 1000.0f);
}

// Each reference must hold frames, and both the same pixels; any one missing refuses.
TEST(TwoPointCalibration, EachMissingReferenceAloneIsRefused) {
    struct Case {
        const char* name;
        std::size_t lowPixels, highPixels;
        int lowFrames, highFrames;
        CalibrationResult result;
    };
    for (const Case& c : {Case{"both", 4, 4, 2, 2, CalibrationResult::kDone},
                          Case{"no low frames", 4, 4, 0, 2, CalibrationResult::kMissingReference},
                          Case{"no high frames", 4, 4, 2, 0, CalibrationResult::kMissingReference},
                          Case{"no pixels", 0, 0, 2, 2, CalibrationResult::kMissingReference},
                          Case{"other sizes", 4, 6, 2, 2, CalibrationResult::kMissingReference}}) {
        zelir::arith::CorrectionTables tables;
        std::vector<std::uint8_t> mask;
        EXPECT_EQ(zelir::arith::ComputeCoefficients(Reference(c.lowPixels, c.lowFrames, 1000),
                                                    Reference(c.highPixels, c.highFrames, 3000), {},
                                                    tables, mask),
                  c.result)
            << c.name;
    }
}

}  // namespace
