// The camera's radiometric response: digits = R / (exp(B / T) - F) + O, T in kelvin, and the
// radiance balance of an object seen through the atmosphere.
#pragma once

#include <zelir/zelir.h>

namespace zelir::radiometry {

inline constexpr double kZeroCelsius = 273.15;

// Radiance in digit units (the response without its offset O) of a blackbody at `kelvin`.
double Radiance(const ZelIrRadiometry& c, double kelvin);
// Inverse of Radiance; NaN when no temperature gives this radiance.
double KelvinOfRadiance(const ZelIrRadiometry& c, double radiance);

// Radiance that reaches the camera, less the parts that do not come from the object:
// object radiance = (signal - tau (1 - eps) L(refl) - (1 - tau) L(atm)) / (tau eps).
struct ObjectBalance {
    double scale = 1.0;  // 1 / (tau eps)
    double stray = 0.0;  // tau (1 - eps) L(refl) + (1 - tau) L(atm)
};
ObjectBalance BalanceFor(const ZelIrRadiometry& c, const ZelIrObjectParams& object);

// Checks that the constants describe a response rising over their whole measuring range.
bool ValidConstants(const ZelIrRadiometry& c);
bool ValidObject(const ZelIrObjectParams& object);
ZelIrObjectParams DefaultObject();

}  // namespace zelir::radiometry
