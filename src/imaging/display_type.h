// Brightness/contrast algorithms of the display mapping (the parameter block's bcType).
#pragma once

enum DisplayType : int {
    kDisplayAutoLinear = 0,
    kDisplayManualLinear = 1,
    kDisplayClahe = 3,
    kDisplayPlateau = 4,
    kDisplayMixed = 5,
    kDisplayRetinex = 6,
    kDisplayBilateral = 7,
};
// Types n and n + 10 map alike.
inline constexpr int kDisplayTypeAlias = 10;
