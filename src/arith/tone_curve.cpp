#include "tone_curve.h"

#include <algorithm>
#include <cmath>

#include "grey_lut.h"

namespace zelir::arith {

double ContrastGain(double contrast) {
    return std::pow(4.0, (ClampSetting(contrast) - 50.0) / 50.0);
}

double ToneAt(double grey, double contrast, double brightness) {
    return 127.5 + ContrastGain(contrast) * (grey - 127.5) + BrightnessShift(brightness);
}

ToneCurve BuildToneCurve(double contrast, double brightness) {
    ToneCurve curve;
    for (int grey = 0; grey < 256; ++grey) {
        const double out = ToneAt(grey, contrast, brightness);
        curve[grey] = static_cast<std::uint8_t>(std::clamp(std::floor(out + 0.5), 0.0, 255.0));
    }
    return curve;
}

}  // namespace zelir::arith
