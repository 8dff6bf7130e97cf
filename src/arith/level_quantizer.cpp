#include "level_quantizer.h"

#include <algorithm>
#include <cmath>

#include "working_buffers.h"

namespace zelir::arith {

LevelScale MakeLevelScale(std::uint16_t low, std::uint16_t high, std::uint32_t maxLevels) {
    LevelScale scale{std::min(low, high), std::max(low, high), 1};
    scale.levels = std::min<std::uint32_t>(maxLevels, std::uint32_t{scale.high} - scale.low + 1);
    return scale;
}

void QuantizeFrame(const DigitHistogram& histogram, LevelScale scale,
                   std::span<const std::uint16_t> src, std::uint16_t* levels,
                   std::vector<std::uint16_t>& table) {
    const unsigned lo = histogram.Min(), hi = histogram.Max();
    std::uint16_t* entries = Room(table, 65536);
    const double step =
        scale.levels > 1 ? (scale.levels - 1) / double(scale.high - scale.low) : 0.0;
    for (unsigned v = lo; v <= hi; ++v) {
        const double level = (double(v) - scale.low) * step + 0.5;
        entries[v] = static_cast<std::uint16_t>(std::clamp(level, 0.0, double(scale.levels - 1)));
    }
    const std::uint16_t first = histogram.Min(), last = histogram.Max();
    for (std::size_t i = 0; i < src.size(); ++i) {
        levels[i] = entries[std::clamp(src[i], first, last)];
    }
}

}  // namespace zelir::arith
