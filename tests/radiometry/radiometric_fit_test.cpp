// The blackbody fit against references made from known constants.
#include "radiometry/radiometric_fit.h"
#include "radiometry/temperature_table.h"
#include "support/radiometry_model.h"
#include "support/unit.h"

namespace {

using zelir::radiometry::FitResponse;
using zelir::radiometry::Reference;
using zelir::radiometry::TemperatureTable;
using zelir_test::ModelDigits;

struct FitCase {
    const char* name;
    ZelIrRadiometry truth;
    std::vector<double> celsius;
    double noise;     // digits added alternately up and down
    double maxError;  // kelvin over -20 .. 300 C
};

class Fit : public ::testing::TestWithParam<FitCase> {};

TEST_P(Fit, ReproducesTemperaturesFarOutsideTheReferences) {
    const FitCase& c = GetParam();
    std::vector<Reference> refs;
    for (size_t i = 0; i < c.celsius.size(); ++i) {
        const double sign = i % 2 ? -1.0 : 1.0;
        refs.push_back({c.celsius[i], ModelDigits(c.truth, c.celsius[i]) + sign * c.noise});
    }
    std::string reason;
    const auto fit = FitResponse(refs, reason);
    ASSERT_TRUE(fit) << reason;
    TemperatureTable table;
    table.Update(fit->constants, {1.0f, 20.0f, 1.0f, 20.0f});
    double worst = 0.0;
    for (double t = -20.0; t <= 300.0; t += 5.0) {
        // Between table entries the digit value rounds, which alone costs up to half a step.
        const double digits = ModelDigits(c.truth, t);
        const double step = ModelDigits(c.truth, t + 0.5) - ModelDigits(c.truth, t - 0.5);
        const float got = table[static_cast<uint16_t>(std::lround(digits))];
        ASSERT_FALSE(std::isnan(got)) << t;
        worst = std::max(worst, std::abs(got - t) - 0.5 / step);
    }
    EXPECT_LT(worst, c.maxError);
}

INSTANTIATE_TEST_SUITE_P(
    References, Fit,
    ::testing::Values(FitCase{"three_points", zelir_test::kEmulatedModel, {20, 60, 120}, 0.0, 0.02},
                      FitCase{"seven_noisy_points",
                              zelir_test::kOtherModel,
                              {-10, 10, 40, 80, 130, 200, 290},
                              0.3,
                              0.3}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    std::vector<Reference> refs;
};

class BadReferences : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadReferences, AreRefusedWithAReason) {
    std::string reason;
    EXPECT_FALSE(FitResponse(GetParam().refs, reason));
    EXPECT_FALSE(reason.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadReferences,
    ::testing::Values(BadCase{"two", {{20, 2000}, {60, 3000}}},
                      BadCase{"falling_digits", {{20, 2000}, {60, 3000}, {120, 2900}}},
                      BadCase{"not_a_number", {{20, 2000}, {60, NAN}, {120, 5000}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
