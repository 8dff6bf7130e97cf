// Calibration from two raw image files.
#include "arith/synthetic_frames.h"
#include "arith/zelir_arith.h"
#include "support/debug_capture.h"
#include "support/finishes_within.h"
#include "support/unit.h"

namespace {

namespace fs = std::filesystem;
using arith_test::Sensor;
using zelir::test::DebugCapture;

enum class Layout { kParameterLine, kBare, kLeadingRows };

void WriteRaw(const fs::path& path, const std::vector<std::uint16_t>& frame, int w, int h,
              Layout layout) {
    std::vector<std::uint8_t> bytes;
    if (layout == Layout::kParameterLine) {
        bytes.resize(100);
        for (auto [at, value] : {std::pair{0, 1}, {2, 100}, {4, w}, {6, h}}) {
            zelir_test::Put(bytes, at, static_cast<std::uint16_t>(value));
        }
    }
    if (layout == Layout::kLeadingRows) bytes.assign(w * 4, 0x77);
    for (const std::uint16_t value : frame) zelir_test::Append(bytes, value);
    zelir_test::WriteBytes(path, bytes);
}

struct RawCase {
    const char* name;
    int w;
    int h;
    Layout layout;
};

class RawFileCalibrationTest : public ::testing::TestWithParam<RawCase> {};

TEST_P(RawFileCalibrationTest, GivesTheSameCorrectionAsLiveReferences) {
    const auto [name, w, h, layout] = GetParam();
    zelir_test::ScratchDir dir{"arith"};
    const Sensor sensor(w, h);
    WriteRaw(dir.path() / "low.raw", sensor.Frame(4000), w, h, layout);
    WriteRaw(dir.path() / "high.raw", sensor.Frame(9000), w, h, layout);

    ZelIrArith fromFiles, live;
    fromFiles.Init(w, h, L"", L"");
    live.Init(w, h, L"", L"");
    ASSERT_TRUE(fromFiles.ReadRawDataCalcK((dir.path() / "low.raw").wstring().c_str(),
                                           (dir.path() / "high.raw").wstring().c_str()));
    ASSERT_TRUE(arith_test::Calibrate(live, sensor));
    const auto corrected = arith_test::Corrected(fromFiles, sensor.Frame(6000), w, h);
    EXPECT_EQ(corrected, arith_test::Corrected(live, sensor.Frame(6000), w, h));
    EXPECT_NE(corrected, sensor.Frame(6000));
}

INSTANTIATE_TEST_SUITE_P(Layouts, RawFileCalibrationTest,
                         ::testing::Values(RawCase{"ParameterLine", 100, 60,
                                                   Layout::kParameterLine},
                                           RawCase{"Bare48x36", 48, 36, Layout::kBare},
                                           RawCase{"LeadingRows", 384, 288, Layout::kLeadingRows}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RawFileCalibration, RefusesFilesThatDoNotFit) {
    zelir_test::ScratchDir dir{"arith"};
    const Sensor sensor(320, 240);
    const fs::path good = dir.path() / "good.raw";
    WriteRaw(good, sensor.Frame(9000), 320, 240, Layout::kBare);
    const fs::path odd = dir.path() / "odd.raw";
    WriteRaw(odd, sensor.Frame(4000), 320, 240, Layout::kBare);
    fs::resize_file(odd, fs::file_size(odd) + 1);
    const fs::path fifo = dir.path() / "fifo.raw";  // opening it to read would block
    ASSERT_TRUE(zelir_test::MakeFifo(fifo));

    for (const fs::path& low : {odd, dir.path() / "missing.raw", fifo}) {
        DebugCapture capture;
        ZelIrArith arith;
        arith.Init(320, 240, L"", L"");
        zelir_test::ExpectFinishesWithin(std::chrono::seconds(20), low.string(), [&] {
            EXPECT_FALSE(arith.ReadRawDataCalcK(low.wstring().c_str(), good.wstring().c_str()));
        });
        EXPECT_EQ(capture.CountOf(low.string() + " is not a regular file\n"),
                  low == fifo ? 1u : 0u);
        EXPECT_EQ(arith_test::Corrected(arith, sensor.Frame(6000), 320, 240), sensor.Frame(6000));
    }
}

}  // namespace
