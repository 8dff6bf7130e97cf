#include "response_curve.h"

#include <cmath>
#include <initializer_list>
#include <limits>

namespace zelir::radiometry {

double Radiance(const ZelIrRadiometry& c, double kelvin) {
    return c.r / (std::exp(c.b / kelvin) - c.f);
}

double KelvinOfRadiance(const ZelIrRadiometry& c, double radiance) {
    const double x = c.r / radiance + c.f;
    if (!(radiance > 0.0) || !(x > 1.0)) return std::numeric_limits<double>::quiet_NaN();
    return c.b / std::log(x);
}

ObjectBalance BalanceFor(const ZelIrRadiometry& c, const ZelIrObjectParams& object) {
    const double tau = object.transmission, eps = object.emissivity;
    ObjectBalance balance;
    balance.scale = 1.0 / (tau * eps);
    balance.stray = tau * (1.0 - eps) * Radiance(c, object.reflectedCelsius + kZeroCelsius) +
                    (1.0 - tau) * Radiance(c, object.atmosphereCelsius + kZeroCelsius);
    return balance;
}

bool ValidConstants(const ZelIrRadiometry& c) {
    for (float v : {c.r, c.b, c.f, c.o, c.minCelsius, c.maxCelsius}) {
        if (!std::isfinite(v)) return false;
    }
    if (!(c.r > 0.0f) || !(c.b > 0.0f) || !(c.minCelsius < c.maxCelsius)) return false;
    if (!(c.minCelsius > -kZeroCelsius)) return false;
    // exp(B / T) falls with T, so the denominator is smallest at the top of the range.
    return std::exp(c.b / (c.maxCelsius + kZeroCelsius)) - c.f > 0.0;
}

bool ValidObject(const ZelIrObjectParams& o) {
    const auto fraction = [](float v) { return v > 0.0f && v <= 1.0f; };
    const auto temperature = [](float v) { return std::isfinite(v) && v > -kZeroCelsius; };
    return fraction(o.emissivity) && fraction(o.transmission) && temperature(o.reflectedCelsius) &&
           temperature(o.atmosphereCelsius);
}

ZelIrObjectParams DefaultObject() {
    return ZelIrObjectParams{1.0f, 20.0f, 1.0f, 20.0f};
}

}  // namespace zelir::radiometry
