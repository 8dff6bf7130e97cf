// Temperatures from a live camera against the emulator's truth, through the public interface:
// two-point correction and a three-point blackbody fit, then uniform targets from -20 to 300 C,
// and the constants found again at the next open. Grey bodies and the scene pixel by pixel are
// judged without a network (emulator_truth_test), damaged files too (radiometry_file_test).
#include <zelir/zelir.h>

#include <cstdio>

#include "support/camsim_admin.h"
#include "support/live_camera.h"
#include "support/open_handle.h"
#include "support/unit.h"

namespace {

using zelir::test::CamsimAdmin;
using zelir_test::OpenHandle;
namespace fs = std::filesystem;

constexpr uint32_t kW = 640, kH = 512;

class NetTemperature : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(cam_.Send("reset"), "ok");
        ASSERT_EQ(cam_.Send("set --rate 100 --blackbody-view --blackbody 20"), "ok");
        ZelIr_FreeDevices();
        h_ = Open(L"gige://198.18.0.2");
        ASSERT_TRUE(h_);
        data_ = zelir::test::DataFolder(h_.get());
        RemoveCalibrationFiles();
    }
    void TearDown() override {
        if (h_) ZelIr_CalibrateReset(h_.get());
        h_.reset();
        RemoveCalibrationFiles();
        cam_.Send("reset");
    }

    OpenHandle Open(const wchar_t* path) {
        OpenHandle h(ZelIr_OpenDevice(path, nullptr));
        if (h && !zelir::test::NewFrames(h.get())) h.reset();
        return h;
    }
    void RemoveCalibrationFiles() {
        for (const fs::path& file : Files("radiometry_")) fs::remove(file);
        for (const fs::path& file : Files("arith_")) fs::remove(file);
    }
    std::vector<fs::path> Files(const std::string& prefix) {
        return zelir::test::FilesNamed(data_, prefix);
    }
    static bool Frames(void* h, uint32_t count) { return zelir::test::NewFrames(h, count); }
    // The emulator takes new settings at its next frame; three frames later they are here.
    void Show(const std::string& settings) {
        ASSERT_EQ(cam_.Send("set " + settings), "ok");
        ASSERT_TRUE(Frames(h_.get(), 3));
    }
    // Mean of the centre half of the view, where the references were taken.
    float CentreMean() {
        ZelIrTempStats s;
        EXPECT_EQ(ZelIr_GetRectTemp(h_.get(), kW / 4, kH / 4, kW / 2, kH / 2, &s), 1);
        return s.meanCelsius;
    }
    void TwoPointCorrection() {
        Show("--blackbody 0");
        ASSERT_EQ(ZelIr_CalibrateP1(h_.get()), 1);
        ASSERT_TRUE(Frames(h_.get(), 2));
        Show("--blackbody 200");
        ASSERT_EQ(ZelIr_CalibrateP2(h_.get()), 1);
        ASSERT_TRUE(Frames(h_.get(), 2));
        ASSERT_EQ(Files("arith_").size(), 1u) << "the correction is in place";
        ASSERT_EQ(ZelIr_DebugSet(h_.get(), 1), 1);
    }
    void FitThreeReferences() {
        for (float t : {20.0f, 60.0f, 120.0f}) {
            Show("--blackbody " + std::to_string(t));
            ASSERT_EQ(ZelIr_AddBlackbodyReference(h_.get(), t, 8), 1) << t;
        }
        ASSERT_EQ(ZelIr_FitRadiometry(h_.get(), &fitted_), 1);
    }

    CamsimAdmin cam_;
    OpenHandle h_;
    fs::path data_;
    ZelIrRadiometry fitted_{};
};

TEST_F(NetTemperature, ThreePointFitMeasuresTheEmulatorsTruth) {
    TwoPointCorrection();
    FitThreeReferences();

    // Uniform targets over the whole range: the error of the region mean.
    double sum = 0, worst = 0;
    const std::vector<float> targets = {-20, 0, 20, 40, 80, 120, 160, 200, 250, 300};
    for (float t : targets) {
        Show("--blackbody " + std::to_string(t));
        const double error = std::abs(CentreMean() - t);
        sum += error;
        worst = std::max(worst, error);
        std::printf("target %6.1f C: error %.3f K\n", t, error);
    }
    EXPECT_LE(sum / targets.size(), 0.3);
    EXPECT_LE(worst, 1.0);
}

// A file under another camera's name is refused for its serial (Damaged.other_camera in
// radiometry_file_test); a wrong serial handed to it here would refuse the camera's own file.
TEST_F(NetTemperature, ConstantsAreFoundAgainAtTheNextOpen) {
    FitThreeReferences();
    h_.reset();
    h_ = Open(L"gige://198.18.0.2");
    ASSERT_TRUE(h_);
    ZelIrRadiometry again{};
    ASSERT_EQ(ZelIr_GetRadiometry(h_.get(), &again), 1);
    EXPECT_EQ(std::memcmp(&again, &fitted_, sizeof again), 0);
    const std::vector<fs::path> files = Files("radiometry_");
    ASSERT_EQ(files.size(), 1u);
}

}  // namespace
