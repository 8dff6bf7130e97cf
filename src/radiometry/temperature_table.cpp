#include "temperature_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "response_curve.h"

namespace zelir::radiometry {

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
    const float* table = celsius_.data();
    const uint16_t* in = digits.data();
    float* o = out.data();
    const std::size_t n = std::min(digits.size(), out.size());
    for (std::size_t i = 0; i < n; ++i) o[i] = table[in[i]];
}

}  // namespace zelir::radiometry
