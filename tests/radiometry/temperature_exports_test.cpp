// The temperature exports on recorded files: constants and object parameters, frame, pixel and
// region temperatures, what recordings and saved images keep, and the blackbody fit.
#include <zelir/zelir.h>

#include "support/debug_capture.h"
#include "support/fake_handle.h"
#include "support/open_handle.h"
#include "support/radiometry_model.h"
#include "support/scoped_variable.h"
#include "support/unit.h"

namespace {

using zelir_test::kEmulatedModel;
using zelir_test::ModelDigits;
using zelir_test::OpenHandle;

constexpr uint16_t kW = 64, kH = 48;
const ZelIrObjectParams kBlackbody{1.0f, 20.0f, 1.0f, 20.0f};

// Row y, column x: -10 C + 4 K per column + 1 K per row.
double SceneCelsius(int x, int y) {
    return -10.0 + 4.0 * x + y;
}

zelir_test::Frame SceneFrame() {
    zelir_test::Frame frame(size_t{kW} * kH);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            frame[size_t(y) * kW + x] =
                uint16_t(std::lround(ModelDigits(kEmulatedModel, SceneCelsius(x, y))));
        }
    }
    return frame;
}

class TemperatureExports : public ::testing::Test {
  protected:
    void SetUp() override {
        zelir_test::WriteMovie(dir_.File("scene.irm"), kW, kH, {SceneFrame(), SceneFrame()}, 2);
        handle_ = Open("scene.irm");
        ASSERT_TRUE(handle_);
        ASSERT_EQ(ZelIr_GetNewArray(handle_.get()), 1);
    }
    OpenHandle Open(const std::string& name) {
        return OpenHandle(ZelIr_MovieFileOpen(dir_.WideFile(name).c_str()));
    }
    // Records one frame of the scene into copy.irm, with its companion file.
    void RecordCopy() {
        ASSERT_EQ(ZelIr_StartRecordMovie(handle_.get(), dir_.WideFile("copy.irm").c_str()), 0);
        ASSERT_EQ(ZelIr_GetNewArray(handle_.get()), 1);
        ZelIr_StopRecordMovie(handle_.get());
    }
    std::vector<float> Temperatures(void* h) {
        std::vector<float> celsius(size_t{kW} * kH);
        EXPECT_EQ(ZelIr_GetTempArray(h, celsius.data()), 1);
        return celsius;
    }

    zelir_test::ScratchDir dir_{"temperature-exports"};
    OpenHandle handle_;
};

TEST_F(TemperatureExports, WithoutConstantsNothingHasATemperature) {
    std::vector<float> celsius(size_t{kW} * kH, 1.0f);
    EXPECT_EQ(ZelIr_GetTempArray(handle_.get(), celsius.data()), 0);
    EXPECT_EQ(celsius[0], 1.0f) << "nothing written";
    EXPECT_TRUE(std::isnan(ZelIr_GetTempVal(handle_.get(), 3, 3)));
}

TEST_F(TemperatureExports, FramePixelsAndRegionsFollowTheScene) {
    ASSERT_EQ(ZelIr_SetRadiometry(handle_.get(), &kEmulatedModel), 1);
    const std::vector<float> celsius = Temperatures(handle_.get());
    EXPECT_NEAR(celsius[7 * kW + 10], SceneCelsius(10, 7), 0.05);
    EXPECT_EQ(ZelIr_DigitToTemp(handle_.get(), SceneFrame()[7 * kW + 10]), celsius[7 * kW + 10]);
    EXPECT_EQ(ZelIr_GetTempVal(handle_.get(), 10, 7), celsius[7 * kW + 10]);
    EXPECT_TRUE(std::isnan(ZelIr_GetTempVal(handle_.get(), kW, 0)));

    ZelIrTempStats rect;
    ASSERT_EQ(ZelIr_GetRectTemp(handle_.get(), 5, 10, 20, 8, &rect), 1);
    EXPECT_EQ((std::array{rect.minX, rect.minY, rect.maxX, rect.maxY}),
              (std::array{5, 10, 24, 17}));
    EXPECT_NEAR(rect.meanCelsius, SceneCelsius(5, 10) + (4.0 * 19 + 7) / 2, 0.05);
    ZelIrTempStats line;
    ASSERT_EQ(ZelIr_GetLineTemp(handle_.get(), 30, 40, 2, 40, &line), 1);
    EXPECT_EQ(line.total, 29u);
    EXPECT_EQ((std::array{line.minX, line.maxX}), (std::array{2, 30}));
}

// A camera keeps its constants in the data folder; a recorded file keeps them only with the
// handle and its recordings.
TEST_F(TemperatureExports, ConstantsOfARecordedFileAreNotKeptAsACameras) {
    std::filesystem::create_directory(dir_ / "data");
    const zelir_test::ScopedVariable data("ZELIR_DATA_DIR", dir_.File("data"));
    OpenHandle movie = Open("scene.irm");
    zelir::test::DebugCapture messages;
    ASSERT_EQ(ZelIr_SetRadiometry(movie.get(), &kEmulatedModel), 1);
    EXPECT_EQ(messages.CountContaining("radiometry file"), 0u) << "no save attempted";
    EXPECT_TRUE(std::filesystem::is_empty(dir_ / "data")) << "nothing in the data folder";
}

struct RefusedObject {
    const char* name;
    ZelIrObjectParams params;
};

class RefusedObjects : public TemperatureExports,
                       public ::testing::WithParamInterface<RefusedObject> {};

TEST_P(RefusedObjects, LeaveTheTemperaturesAsTheyWere) {
    ASSERT_EQ(ZelIr_SetRadiometry(handle_.get(), &kEmulatedModel), 1);
    const float before = ZelIr_GetTempVal(handle_.get(), 20, 20);
    EXPECT_EQ(ZelIr_SetObjectParams(handle_.get(), &GetParam().params), 0);
    ZelIrObjectParams now;
    ASSERT_EQ(ZelIr_GetObjectParams(handle_.get(), &now), 1);
    EXPECT_EQ(std::memcmp(&now, &kBlackbody, sizeof now), 0);
    EXPECT_EQ(ZelIr_GetTempVal(handle_.get(), 20, 20), before);
}

INSTANTIATE_TEST_SUITE_P(
    Params, RefusedObjects,
    ::testing::Values(RefusedObject{"emissivity_0", {0.0f, 20.0f, 1.0f, 20.0f}},
                      RefusedObject{"reflected_nan", {0.9f, NAN, 1.0f, 20.0f}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedConstant {
    const char* name;
    ZelIrRadiometry constants;
};

class RefusedConstants : public TemperatureExports,
                         public ::testing::WithParamInterface<RefusedConstant> {};

TEST_P(RefusedConstants, AreNotTaken) {
    EXPECT_EQ(ZelIr_SetRadiometry(handle_.get(), &GetParam().constants), 0);
    ZelIrRadiometry constants;
    EXPECT_EQ(ZelIr_GetRadiometry(handle_.get(), &constants), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Constants, RefusedConstants,
    ::testing::Values(
        RefusedConstant{"zero_b", {1e5f, 0.0f, 1.0f, 1000.0f, -50.0f, 650.0f}},
        RefusedConstant{"f_breaks_the_curve", {1e5f, 1428.0f, 5.0f, 1000.0f, -50.0f, 650.0f}},
        RefusedConstant{"infinite_o", {1e5f, 1428.0f, 1.0f, INFINITY, -50.0f, 650.0f}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TemperatureExports, RecordingsAndSavedImagesKeepTheirConstants) {
    ASSERT_EQ(ZelIr_SetRadiometry(handle_.get(), &kEmulatedModel), 1);
    const ZelIrObjectParams grey{0.9f, 35.0f, 0.95f, 15.0f};
    ASSERT_EQ(ZelIr_SetObjectParams(handle_.get(), &grey), 1);
    const std::vector<float> original = Temperatures(handle_.get());
    RecordCopy();
    ASSERT_EQ(ZelIr_SaveCurrImage(handle_.get(), dir_.WideFile("copy.bmp").c_str()), 1);

    for (const char* name : {"copy.irm", "copy.bmp"}) {
        OpenHandle copy(name[5] == 'i' ? ZelIr_MovieFileOpen(dir_.WideFile(name).c_str())
                                       : ZelIr_RawImageOpen(dir_.WideFile(name).c_str()));
        ASSERT_TRUE(copy) << name;
        ASSERT_EQ(ZelIr_GetNewArray(copy.get()), 1) << name;
        ZelIrObjectParams object;
        ASSERT_EQ(ZelIr_GetObjectParams(copy.get(), &object), 1);
        EXPECT_EQ(std::memcmp(&object, &grey, sizeof grey), 0) << name;
        const std::vector<float> played = Temperatures(copy.get());
        EXPECT_EQ(std::memcmp(played.data() + kW, original.data() + kW, (played.size() - kW) * 4),
                  0)
            << name;
    }
}

// A camera frame of 8-bit values has no temperatures, whatever the constants.
TEST(CameraTemperatures, OnlyFramesOfDigitValuesHaveThem) {
    zelir_test::ScopedHandle camera(kHandleCamera, kStreamGigE, kW, kH);
    ASSERT_EQ(ZelIr_SetRadiometry(camera.handle(), &kEmulatedModel), 1);
    FrameRecord* frame = camera.source().GetFrameRecord();
    const zelir_test::Frame digits = SceneFrame();
    std::memcpy(frame->data.get(), digits.data(), digits.size() * 2);
    std::vector<float> celsius(size_t{kW} * kH);
    for (const auto& [kind, result] : {std::pair{0u, 1}, {1u, 0}}) {
        frame->pixelKind = kind;
        EXPECT_EQ(ZelIr_GetTempArray(camera.handle(), celsius.data()), result) << kind;
    }
}

// A fit that measures is NetTemperature.ThreePointFitMeasuresTheEmulatorsTruth's; here the
// references a file handle refuses, and that clearing them leaves nothing to fit.
TEST_F(TemperatureExports, BlackbodyReferencesRefuseBadInputAndClearingEmptiesThem) {
    ZelIrRadiometry fitted;
    for (float t : {20.0f, 60.0f}) ASSERT_EQ(ZelIr_AddBlackbodyReference(handle_.get(), t, 1), 1);
    EXPECT_EQ(ZelIr_FitRadiometry(handle_.get(), &fitted), 0) << "two references are not enough";
    ASSERT_EQ(ZelIr_ClearBlackbodyReferences(handle_.get()), 1);
    EXPECT_EQ(ZelIr_FitRadiometry(handle_.get(), &fitted), 0);
    EXPECT_EQ(ZelIr_AddBlackbodyReference(handle_.get(), 20.0f, 0), 0) << "no frames";
}

}  // namespace
