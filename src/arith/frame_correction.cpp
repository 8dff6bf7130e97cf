#include "frame_correction.h"

#include <algorithm>
#include <cmath>

#include "pixel_loop.h"

namespace zelir::arith {

void MakeFixedCorrection(const CorrectionTables& tables, FixedCorrection& fixed,
                         std::vector<std::uint8_t>& badMask) {
    const std::size_t n = tables.gain.size();
    fixed.Clear();
    if (n == 0 || tables.offset.size() != n) return;
    if (badMask.size() != n) badMask.assign(n, 0);
    fixed.gain.resize(n);
    fixed.offset.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double gain = std::round(tables.gain[i] * 16384.0);
        const double offset = std::round(tables.offset[i]);
        if (!(gain >= 0 && gain <= 32767 && offset >= -32767 && offset <= 32767)) {
            badMask[i] = 1;
            fixed.gain[i] = 16384;
            fixed.offset[i] = 0;
            continue;
        }
        fixed.gain[i] = static_cast<std::uint16_t>(gain);
        fixed.offset[i] = static_cast<std::int16_t>(offset);
    }
}

ZELIR_PIXEL_LOOP
void ApplyGainOffset(std::span<std::uint16_t> frame, const FixedCorrection& fixed) {
    if (fixed.gain.size() != frame.size() || fixed.offset.size() != frame.size()) return;
    std::uint16_t* pixels = frame.data();
    const std::uint16_t* gain = fixed.gain.data();
    const std::int16_t* offset = fixed.offset.data();
    const std::size_t n = frame.size();
    // Below 2^31 throughout: 65535 * 32767 + 32767 * 2^14 + 2^13.
    for (std::size_t i = 0; i < n; ++i) {
        const std::int32_t v =
            (std::int32_t(pixels[i]) * gain[i] + (std::int32_t(offset[i]) << 14) + 8192) >> 14;
        pixels[i] = static_cast<std::uint16_t>(std::clamp(v, 0, 65535));
    }
}

}  // namespace zelir::arith
