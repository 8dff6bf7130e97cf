#include "frame_correction.h"

#include <algorithm>

namespace zelir::arith {

void ApplyGainOffset(std::span<std::uint16_t> frame, const CorrectionTables& tables,
                     bool offsetOnly) {
    if (tables.gain.size() != frame.size() || tables.offset.size() != frame.size()) return;
    std::uint16_t* pixels = frame.data();
    const float* gain = tables.gain.data();
    const float* offset = tables.offset.data();
    const std::size_t n = frame.size();
    if (offsetOnly) {
        for (std::size_t i = 0; i < n; ++i) {
            float v = std::clamp(pixels[i] + offset[i] + 0.5f, 0.0f, 65535.0f);
            pixels[i] = static_cast<std::uint16_t>(static_cast<int>(v));
        }
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        float v = std::clamp(pixels[i] * gain[i] + offset[i] + 0.5f, 0.0f, 65535.0f);
        pixels[i] = static_cast<std::uint16_t>(static_cast<int>(v));
    }
}

}  // namespace zelir::arith
