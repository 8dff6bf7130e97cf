// The emulator's scene read back through the library's conversion: every pixel of a frame
// without fixed pattern and noise gives the temperature the emulator says it shows.
#include "radiometry/temperature_table.h"
#include "support/unit.h"
#include "thermal_scene.h"

namespace {

struct SceneCase {
    const char* name;
    const char* model;
    uint32_t width, height;
    float emissivity, reflected, transmission, atmosphere;
};

class EmulatorTruth : public ::testing::TestWithParam<SceneCase> {};

TEST_P(EmulatorTruth, EveryPixelReadsAsTheTrueTemperature) {
    const SceneCase& c = GetParam();
    const camsim::SceneSettings settings{.response = camsim::ModelResponse(c.model),
                                         .emissivity = c.emissivity,
                                         .reflectedCelsius = c.reflected,
                                         .transmission = c.transmission,
                                         .atmosphereCelsius = c.atmosphere,
                                         .noise = 0.0f,
                                         .fixedPattern = false};
    const camsim::ThermalScene scene(c.width, c.height, settings);
    const uint32_t frame = 37;
    std::vector<uint16_t> digits(size_t{c.width} * c.height);
    scene.Render(frame, digits);

    const camsim::ResponseConstants& r = settings.response;
    zelir::radiometry::TemperatureTable table;
    table.Update({float(r.r), float(r.b), float(r.f), float(r.o), -50.0f, 650.0f},
                 {c.emissivity, c.reflected, c.transmission, c.atmosphere});
    double worst = 0.0;
    for (uint32_t y = 0; y < c.height; ++y) {
        for (uint32_t x = 0; x < c.width; ++x) {
            const double truth = scene.TrueCelsius(frame, x, y);
            // Half a digit value of rounding, in kelvin at this temperature.
            const double step =
                0.5 / (scene.IdealDigits(truth + 0.5) - scene.IdealDigits(truth - 0.5));
            worst =
                std::max(worst, std::abs(table[digits[size_t{y} * c.width + x]] - truth) - step);
        }
    }
    EXPECT_LT(worst, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Scenes, EmulatorTruth,
                         ::testing::Values(SceneCase{"blackbodies", "G003L", 640, 512, 1.0f, 20.0f,
                                                     1.0f, 20.0f},
                                           SceneCase{"through_haze_large_model", "G012L", 1280,
                                                     1024, 0.95f, 10.0f, 0.85f, 25.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
