#include "box_blur.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "pixel_loop.h"

namespace zelir::arith {

namespace {

// Radius of one of three box passes whose cascade has the given sigma: each pass adds
// ((2r+1)^2 - 1) / 12 to the variance.
int BoxRadius(double sigma) {
    const double variance = sigma * sigma / 3.0;
    return std::max(0,
                    static_cast<int>(std::lround((std::sqrt(12.0 * variance + 1.0) - 1.0) / 2.0)));
}

// One box pass along a row of `n` values, through `padded` (n + 2r).
void BoxRow(float* row, int n, int r, float* padded) {
    for (int i = 0; i < r; ++i) {
        padded[i] = row[0];
        padded[r + n + i] = row[n - 1];
    }
    std::copy(row, row + n, padded + r);
    const float scale = 1.0f / (2 * r + 1);
    float sum = 0;
    for (int i = 0; i < 2 * r + 1; ++i) sum += padded[i];
    for (int x = 0; x + 1 < n; ++x) {
        row[x] = sum * scale;
        sum += padded[x + 2 * r + 1] - padded[x];
    }
    row[n - 1] = sum * scale;
}

// One box pass down the columns, all columns at once so the inner loops run along a row.
// Rows are overwritten as the pass goes down, so the originals still needed (the last r + 1)
// are kept in a ring in `ring`.
ZELIR_PIXEL_LOOP
void BoxColumns(float* plane, int w, int h, int r, float* sums, float* ring) {
    const float scale = 1.0f / (2 * r + 1);
    const int slots = r + 1;
    auto row = [&](int y) { return plane + static_cast<std::size_t>(y) * w; };
    auto saved = [&](int y) { return ring + static_cast<std::size_t>(y % slots) * w; };
    std::fill(sums, sums + w, 0.0f);
    for (int k = -r; k <= r; ++k) {
        const float* source = row(std::clamp(k, 0, h - 1));
        for (int x = 0; x < w; ++x) sums[x] += source[x];
    }
    for (int y = 0; y < h; ++y) {
        float* current = row(y);
        std::copy(current, current + w, saved(y));
        for (int x = 0; x < w; ++x) current[x] = sums[x] * scale;
        const float* leaving = saved(std::max(y - r, 0));
        const int next = std::min(y + r + 1, h - 1);
        const float* entering = next > y ? row(next) : saved(next);
        for (int x = 0; x < w; ++x) sums[x] += entering[x] - leaving[x];
    }
}

}  // namespace

std::size_t BlurLineRoom(int w, int h, double sigma) {
    const int r = BoxRadius(sigma);
    return std::max<std::size_t>(std::size_t(std::max(w, h)) + 2 * r,
                                 static_cast<std::size_t>(r + 1) * w);
}

void GaussianBlur(float* plane, int w, int h, double sigma, float* line, float* sums) {
    const int r = BoxRadius(sigma);
    if (r == 0) return;
    for (int y = 0; y < h; ++y) {
        float* row = plane + static_cast<std::size_t>(y) * w;
        for (int pass = 0; pass < 3; ++pass) BoxRow(row, w, r, line);
    }
    for (int pass = 0; pass < 3; ++pass) BoxColumns(plane, w, h, r, sums, line);
}

void Downsample(const float* plane, int w, int h, int factor, float* out) {
    const int sw = (w + factor - 1) / factor, sh = (h + factor - 1) / factor;
    for (int sy = 0; sy < sh; ++sy) {
        for (int sx = 0; sx < sw; ++sx) {
            float sum = 0;
            int count = 0;
            for (int y = sy * factor; y < std::min(h, (sy + 1) * factor); ++y) {
                for (int x = sx * factor; x < std::min(w, (sx + 1) * factor); ++x) {
                    sum += plane[static_cast<std::size_t>(y) * w + x];
                    ++count;
                }
            }
            out[static_cast<std::size_t>(sy) * sw + sx] = sum / count;
        }
    }
}

}  // namespace zelir::arith
