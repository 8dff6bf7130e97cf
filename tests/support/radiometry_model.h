// The radiometric response written out independently of the library, as the tests' oracle:
// digits = R / (exp(B / T) - F) + O of the radiance tau (eps L(T) + (1 - eps) L(T_refl)) +
// (1 - tau) L(T_atm).
#pragma once

#include <zelir/zelir.h>

#include <cmath>

namespace zelir_test {

inline double ModelRadiance(const ZelIrRadiometry& c, double celsius) {
    return c.r / (std::exp(c.b / (celsius + 273.15)) - c.f);
}

inline double ModelDigits(const ZelIrRadiometry& c, double celsius,
                          const ZelIrObjectParams& o = {1.0f, 20.0f, 1.0f, 20.0f}) {
    const double object = o.emissivity * ModelRadiance(c, celsius) +
                          (1.0 - o.emissivity) * ModelRadiance(c, o.reflectedCelsius);
    return o.transmission * object +
           (1.0 - o.transmission) * ModelRadiance(c, o.atmosphereCelsius) + c.o;
}

// The emulated camera's constants (the emulator's default model) and a second, different one.
inline constexpr ZelIrRadiometry kEmulatedModel{133000.0f, 1428.0f, 1.0f, 1000.0f, -50.0f, 650.0f};
inline constexpr ZelIrRadiometry kOtherModel{268000.0f, 1510.0f, 0.85f, 620.0f, -50.0f, 650.0f};

}  // namespace zelir_test
