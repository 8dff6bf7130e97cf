#include "imaging/display_settings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zelir {
namespace {

constexpr double kSettingMin = 0.0;
constexpr double kSettingMax = 100.0;
constexpr double kKthrFloor = 0.05;
constexpr double kKthrCeiling = 65535.0 / 255.0;

}  // namespace

float UsableDisplaySetting(double value) {
    if (!std::isfinite(value)) return kDefaultDisplaySetting;
    return static_cast<float>(std::clamp(value, kSettingMin, kSettingMax));
}

float UsableKthr(double value) {
    if (!std::isfinite(value) || value < kKthrFloor) return kDefaultKthr;
    return static_cast<float>(std::min(value, kKthrCeiling));
}

int32_t DisplaySettingAsInt(float value) {
    if (!std::isfinite(value)) return static_cast<int32_t>(kDefaultDisplaySetting);
    // 2^31 is the first float beyond int32_t; every float below it converts exactly.
    constexpr float kBeyond = 2147483648.0f;
    if (value >= kBeyond) return std::numeric_limits<int32_t>::max();
    if (value < -kBeyond) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace zelir
