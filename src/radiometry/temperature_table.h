// Digit value -> degrees Celsius for every 16-bit value, rebuilt only when a parameter changes.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <span>
#include <vector>

namespace zelir::radiometry {

class TemperatureTable {
  public:
    static constexpr std::size_t kEntries = 65536;

    // Rebuilds the table when the constants or object parameters differ from those it was
    // built for; true when it was rebuilt.
    bool Update(const ZelIrRadiometry& constants, const ZelIrObjectParams& object);

    float operator[](uint16_t digit) const { return celsius_[digit]; }
    // Converts a whole frame; `out` must be at least as long as `digits`.
    void Convert(std::span<const uint16_t> digits, std::span<float> out) const;

  private:
    std::vector<float> celsius_ = std::vector<float>(kEntries);
    bool built_ = false;
    ZelIrRadiometry constants_{};
    ZelIrObjectParams object_{};
};

}  // namespace zelir::radiometry
