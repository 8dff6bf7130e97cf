#include "plateau_equalization.h"

#include <algorithm>

namespace zelir::arith {

void PlateauEqualization(std::span<const std::uint32_t> counts, std::size_t first,
                         std::size_t second, std::span<float> greys) {
    std::fill(greys.begin(), greys.end(), 0.0f);
    if (counts.empty()) return;
    second = std::min(second, counts.size() - 1);
    first = std::min(first, second);
    std::size_t occupied = 0, inside = 0, last = first;
    for (std::size_t v = first; v <= second; ++v) {
        if (counts[v] == 0) continue;
        ++occupied;
        inside += counts[v];
        last = v;
    }
    for (std::size_t v = second + 1; v < greys.size(); ++v) greys[v] = 255.0f;
    if (occupied <= 1) {
        // Nothing to equalise: the one level (or none) sits at mid grey.
        for (std::size_t v = first; v <= second && v < greys.size(); ++v) {
            greys[v] = !occupied || v == last ? 127.5f : v < last ? 0.0f : 255.0f;
        }
        return;
    }
    const double plateau = std::max<double>(1.0, static_cast<double>(inside) / occupied);
    // Cumulative clipped count below each level; the last occupied level reaches 255.
    double total = 0;
    for (std::size_t v = first; v < last; ++v) total += std::min<double>(counts[v], plateau);
    double below = 0;
    for (std::size_t v = first; v <= second && v < greys.size(); ++v) {
        greys[v] = static_cast<float>(std::min(255.0, 255.0 * below / total));
        below += std::min<double>(counts[v], plateau);
    }
}

void PlateauEqualization(const DigitHistogram& histogram, std::uint16_t first, std::uint16_t second,
                         std::vector<float>& greys) {
    const std::size_t lo = histogram.Min(), hi = histogram.Max();
    greys.assign(hi - lo + 1, 0.0f);
    auto counts = histogram.Counts().subspan(lo, hi - lo + 1);
    // Limits outside the frame's range are brought onto it: no pixel lies beyond.
    const std::size_t a = std::clamp<std::size_t>(std::min(first, second), lo, hi) - lo;
    const std::size_t b = std::clamp<std::size_t>(std::max(first, second), lo, hi) - lo;
    if (std::max(first, second) < lo) {
        std::fill(greys.begin(), greys.end(), 255.0f);
        return;
    }
    if (std::min(first, second) > hi) return;
    PlateauEqualization(counts, a, b, greys);
}

}  // namespace zelir::arith
