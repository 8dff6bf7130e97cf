#include "temperature_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "response_curve.h"

namespace zelir::radiometry {
namespace {

// Eight independent lookups per step, all loads before the stores, keep the load ports busy;
// measured a quarter faster than the plain loop. (Vector gathers measured twice as slow on
// this kind of machine.)
void LookUp(const float* table, const uint16_t* in, float* out, std::size_t n) {
    constexpr std::size_t kStep = 8;
    std::size_t i = 0;
    for (; i + kStep <= n; i += kStep) {
        float v[kStep];
        for (std::size_t k = 0; k < kStep; ++k) v[k] = table[in[i + k]];
        for (std::size_t k = 0; k < kStep; ++k) out[i + k] = v[k];
    }
    for (; i < n; ++i) out[i] = table[in[i]];
}

}  // namespace

bool TemperatureTable::Update(const ZelIrRadiometry& constants, const ZelIrObjectParams& object) {
    if (built_ && std::memcmp(&constants, &constants_, sizeof constants) == 0 &&
        std::memcmp(&object, &object_, sizeof object) == 0) {
        return false;
    }
    constants_ = constants;
    object_ = object;
    built_ = true;
    const ObjectBalance balance = BalanceFor(constants, object);
    for (std::size_t d = 0; d < kEntries; ++d) {
        const double radiance = (double(d) - constants.o - balance.stray) * balance.scale;
        const double celsius = KelvinOfRadiance(constants, radiance) - kZeroCelsius;
        const bool inRange = celsius >= constants.minCelsius && celsius <= constants.maxCelsius;
        celsius_[d] =
            inRange ? static_cast<float>(celsius) : std::numeric_limits<float>::quiet_NaN();
    }
    return true;
}

void TemperatureTable::Convert(std::span<const uint16_t> digits, std::span<float> out) const {
    LookUp(celsius_.data(), digits.data(), out.data(), std::min(digits.size(), out.size()));
}

}  // namespace zelir::radiometry
