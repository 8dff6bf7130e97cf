#include "bad_pixel_repair.h"

namespace zelir::arith {

void BadPixelRepair::Clear() {
    repairs_.clear();
}

void BadPixelRepair::Build(std::span<const std::uint8_t> badMask, int w, int h) {
    repairs_.clear();
    if (badMask.size() != static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) return;
    constexpr std::array<std::array<int, 2>, 4> kDirections{{{0, -1}, {0, 1}, {-1, 0}, {1, 0}}};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * w + x;
            if (!badMask[index]) continue;
            Repair repair{static_cast<std::uint32_t>(index), 0, {}};
            for (auto [dx, dy] : kDirections) {
                for (int step = 1; step <= kReach; ++step) {
                    const int nx = x + dx * step, ny = y + dy * step;
                    if (nx < 0 || nx >= w || ny < 0 || ny >= h) break;
                    const std::size_t n = static_cast<std::size_t>(ny) * w + nx;
                    if (!badMask[n]) {
                        repair.neighbours[repair.neighbourCount++] = static_cast<std::uint32_t>(n);
                        break;
                    }
                }
            }
            // A pixel with no good pixel in reach keeps its value: there is nothing better.
            if (repair.neighbourCount > 0) repairs_.push_back(repair);
        }
    }
}

void BadPixelRepair::Apply(std::span<std::uint16_t> frame) const {
    for (const Repair& repair : repairs_) {
        if (repair.pixel >= frame.size()) continue;
        std::uint32_t sum = 0;
        for (std::uint32_t i = 0; i < repair.neighbourCount; ++i) {
            sum += frame[repair.neighbours[i]];
        }
        frame[repair.pixel] =
            static_cast<std::uint16_t>((sum + repair.neighbourCount / 2) / repair.neighbourCount);
    }
}

}  // namespace zelir::arith
