// Brightness, contrast and KTHR as the display can use them, whatever reached the parameter
// block (para.ini, the application's own writes through the block pointer).
#pragma once

#include <cstdint>

namespace zelir {

inline constexpr float kDefaultDisplaySetting = 50.0f;
inline constexpr float kDefaultKthr = 0.2f;

// Brightness or contrast: the default when not finite, otherwise clamped to 0..100.
float UsableDisplaySetting(double value);
// KTHR: the default when not finite or below 0.05; at most 65535 / 255, where one grey level
// already spans every digit value.
float UsableKthr(double value);
// A stored brightness or contrast as the exports report it: truncated toward zero, the default
// when not finite, saturated at the limits of int32_t.
int32_t DisplaySettingAsInt(float value);

}  // namespace zelir
