// Base/detail split with a bilateral filter computed on a bilateral grid (splat, blur, slice):
// edge-preserving like the direct filter, at a cost per pixel independent of its radius.
#include <algorithm>
#include <cmath>

#include "level_quantizer.h"
#include "mapping_input.h"
#include "plateau_equalization.h"

namespace zelir::arith {

namespace {

// Spatial cell of the grid in pixels, and the range cell as a share of the levels: edges
// stronger than a tenth of the scene's span stay out of the base's blur.
constexpr int kCell = 8;
constexpr double kRangeShare = 0.1;

struct Grid {
    int w;
    int h;
    int d;
    float* cells;  // (value sum, weight) pairs, x fastest, then y, then range
    std::size_t Index(int x, int y, int z) const { return ((std::size_t(z) * h + y) * w + x) * 2; }
};

// [1 2 1] / 4 along one axis, from `from` into `to`; the padding cells stay empty.
void BlurAxis(const Grid& g, const float* from, float* to, int axis) {
    const std::size_t stride = axis == 0   ? 2
                               : axis == 1 ? std::size_t(g.w) * 2
                                           : std::size_t(g.w) * g.h * 2;
    for (int z = 0; z < g.d; ++z) {
        for (int y = 0; y < g.h; ++y) {
            for (int x = 0; x < g.w; ++x) {
                const std::size_t i = g.Index(x, y, z);
                const int p = axis == 0 ? x : axis == 1 ? y : z;
                const int size = axis == 0 ? g.w : axis == 1 ? g.h : g.d;
                if (p == 0 || p == size - 1) {
                    to[i] = to[i + 1] = 0.0f;
                    continue;
                }
                to[i] = 0.25f * (from[i - stride] + from[i + stride]) + 0.5f * from[i];
                to[i + 1] =
                    0.25f * (from[i + 1 - stride] + from[i + 1 + stride]) + 0.5f * from[i + 1];
            }
        }
    }
}

}  // namespace

void BilateralDetailEnhancement(const MappingInput& in, double gain, const ToneCurve& tone) {
    const int w = in.w, h = in.h;
    const std::size_t n = in.src.size();
    WorkingBuffers& work = in.work;
    const LevelScale scale = MakeLevelScale(in.low, in.high);
    const std::uint32_t L = scale.levels;
    std::uint16_t* levels = Room(work.levels, n);
    QuantizeFrame(in.histogram, scale, in.src, levels, work.levelTable);

    const float rangeCell = float(std::max(1.0, (L - 1) * kRangeShare));
    Grid grid{(w - 1 + kCell / 2) / kCell + 3, (h - 1 + kCell / 2) / kCell + 3,
              int(std::lround((L - 1) / rangeCell)) + 3, nullptr};
    const std::size_t cells = std::size_t(grid.w) * grid.h * grid.d * 2;
    grid.cells = Room(work.grid, cells);
    float* spare = Room(work.gridSpare, cells);
    std::fill(grid.cells, grid.cells + cells, 0.0f);

    // Splat each pixel into its nearest cell, and count the levels for the base's equalisation.
    std::uint32_t* counts = Room(work.levelCounts, L);
    std::fill(counts, counts + L, 0u);
    const float toRange = 1.0f / rangeCell;
    for (int y = 0; y < h; ++y) {
        const std::uint16_t* row = levels + std::size_t(y) * w;
        const int gy = (y + kCell / 2) / kCell + 1;
        for (int x = 0; x < w; ++x) {
            const int gz = int(row[x] * toRange + 0.5f) + 1;
            float* cell = grid.cells + grid.Index((x + kCell / 2) / kCell + 1, gy, gz);
            cell[0] += row[x];
            cell[1] += 1.0f;
            ++counts[row[x]];
        }
    }
    BlurAxis(grid, grid.cells, spare, 0);
    BlurAxis(grid, spare, grid.cells, 1);
    BlurAxis(grid, grid.cells, spare, 2);
    const float* blurred = spare;

    float* baseGrey = Room(work.greys, L);
    PlateauEqualization(std::span<const std::uint32_t>(counts, L), 0, L - 1,
                        std::span<float>(baseGrey, L));
    const float detailScale = L > 1 ? float(gain * 255.0 / (L - 1)) : 0.0f;
    const std::size_t sx = 2, sy = std::size_t(grid.w) * 2, sz = std::size_t(grid.w) * grid.h * 2;
    for (int y = 0; y < h; ++y) {
        const float fy = float(y) / kCell + 1.0f;
        const int y0 = int(fy);
        const float ay = fy - y0;
        const std::uint16_t* row = levels + std::size_t(y) * w;
        std::uint8_t* out = in.dst.data() + std::size_t(y) * w;
        for (int x = 0; x < w; ++x) {
            const float fx = float(x) / kCell + 1.0f, fz = row[x] * toRange + 1.0f;
            const int x0 = int(fx), z0 = int(fz);
            const float ax = fx - x0, az = fz - z0;
            const float* c = blurred + grid.Index(x0, y0, z0);
            float value = 0, weight = 0;
            for (int k = 0; k < 8; ++k) {
                const float wk =
                    ((k & 1) ? ax : 1 - ax) * ((k & 2) ? ay : 1 - ay) * ((k & 4) ? az : 1 - az);
                const float* cell =
                    c + ((k & 1) ? sx : 0) + ((k & 2) ? sy : 0) + ((k & 4) ? sz : 0);
                value += wk * cell[0];
                weight += wk * cell[1];
            }
            const float base = weight > 1e-6f ? value / weight : float(row[x]);
            const float b = std::clamp(base, 0.0f, float(L - 1));
            const int b0 = std::min(int(b), int(L) - 1), b1 = std::min(b0 + 1, int(L) - 1);
            const float grey = baseGrey[b0] + (b - b0) * (baseGrey[b1] - baseGrey[b0]) +
                               detailScale * (row[x] - base);
            out[x] = tone[int(std::clamp(grey + 0.5f, 0.0f, 255.0f))];
        }
    }
}

}  // namespace zelir::arith
