// Multi-scale retinex on the quantised frame.
#include <algorithm>
#include <cmath>

#include "box_blur.h"
#include "level_quantizer.h"
#include "mapping_input.h"
#include "plateau_equalization.h"

namespace zelir::arith {

namespace {

// Scales, in pixels of the full frame: fine detail, object size, background. The two coarse
// ones are blurred at a quarter of the resolution, where they cost a sixteenth.
constexpr double kFineSigma = 3.0;
constexpr double kMiddleSigma = 12.0;
constexpr double kCoarseSigma = 48.0;
constexpr int kReduction = 4;

// Bilinear sample of a reduced plane at a full-resolution position.
struct Upsampler {
    const float* plane;
    int w;
    int h;
    float At(float fx, float fy) const {
        fx = std::clamp(fx, 0.0f, float(w - 1));
        fy = std::clamp(fy, 0.0f, float(h - 1));
        const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
        const int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
        const float ax = fx - x0, ay = fy - y0;
        const float* r0 = plane + std::size_t(y0) * w;
        const float* r1 = plane + std::size_t(y1) * w;
        const float top = r0[x0] + ax * (r0[x1] - r0[x0]);
        const float bottom = r1[x0] + ax * (r1[x1] - r1[x0]);
        return top + ay * (bottom - top);
    }
};

}  // namespace

void RetinexEnhancement(const MappingInput& in, double gain, const ToneCurve& tone) {
    const int w = in.w, h = in.h;
    const std::size_t n = in.src.size();
    WorkingBuffers& work = in.work;
    const LevelScale scale = MakeLevelScale(in.low, in.high);
    std::uint16_t* levels = Room(work.levels, n);
    QuantizeFrame(in.histogram, scale, in.src, levels, work.levelTable);

    // Log of the level with a soft knee (level + L/16): dark parts gain, hot parts compress,
    // without the extreme stretch of log(1 + level) near black.
    float* logTable = Room(work.greys, scale.levels);
    const double knee = std::max(1.0, scale.levels / 16.0);
    for (std::uint32_t l = 0; l < scale.levels; ++l) logTable[l] = float(std::log(l + knee));
    float* image = Room(work.planeA, n);
    float* fine = Room(work.planeB, n);
    for (std::size_t i = 0; i < n; ++i) image[i] = fine[i] = logTable[levels[i]];

    const int sw = (w + kReduction - 1) / kReduction, sh = (h + kReduction - 1) / kReduction;
    float* middle = Room(work.smallA, std::size_t(sw) * sh);
    float* coarse = Room(work.smallB, std::size_t(sw) * sh);
    float* line = Room(work.smallC, BlurLineRoom(w, h, kFineSigma) +
                                        BlurLineRoom(sw, sh, kCoarseSigma / kReduction));
    float* sums = Room(work.lineSums, std::size_t(w));
    GaussianBlur(fine, w, h, kFineSigma, line, sums);
    Downsample(image, w, h, kReduction, middle);
    std::copy(middle, middle + std::size_t(sw) * sh, coarse);
    GaussianBlur(middle, sw, sh, kMiddleSigma / kReduction, line, sums);
    GaussianBlur(coarse, sw, sh, kCoarseSigma / kReduction, line, sums);

    // result = log + gain * (log - mean of the three surrounds); its range is found on the way.
    const Upsampler up2{middle, sw, sh}, up3{coarse, sw, sh};
    float lo = INFINITY, hi = -INFINITY;
    for (int y = 0; y < h; ++y) {
        const float fy = (y + 0.5f) / kReduction - 0.5f;
        float* row = image + std::size_t(y) * w;
        const float* fineRow = fine + std::size_t(y) * w;
        for (int x = 0; x < w; ++x) {
            const float fx = (x + 0.5f) / kReduction - 0.5f;
            const float surround = (fineRow[x] + up2.At(fx, fy) + up3.At(fx, fy)) / 3.0f;
            const float v = row[x] + float(gain) * (row[x] - surround);
            row[x] = v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    }

    // Stretched between the same share of pixels as the display cuts leave out of the frame.
    std::uint32_t* counts = Room(work.levelCounts, kMaxLevels);
    std::fill(counts, counts + kMaxLevels, 0u);
    const float toBin = hi > lo ? (kMaxLevels - 1) / (hi - lo) : 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        ++counts[std::min<std::size_t>(kMaxLevels - 1, std::size_t((image[i] - lo) * toBin))];
    }
    const auto [belowShare, aboveShare] = in.histogram.OutsideShares(in.low, in.high);
    const auto below = static_cast<std::size_t>(belowShare * n);
    const auto above = static_cast<std::size_t>(aboveShare * n);
    std::uint32_t first = 0, last = kMaxLevels - 1;
    for (std::size_t seen = 0; first < last; ++first) {
        seen += counts[first];
        if (seen > below) break;
    }
    for (std::size_t seen = 0; last > first; --last) {
        seen += counts[last];
        if (seen > above) break;
    }
    const float bottom = toBin > 0 ? lo + first / toBin : lo;
    const float top = toBin > 0 ? lo + last / toBin : lo;
    const float toGrey = top > bottom ? 255.0f / (top - bottom) : 0.0f;
    const float base = top > bottom ? 0.5f : 128.0f;
    std::uint8_t* out = in.dst.data();
    for (std::size_t i = 0; i < n; ++i) {
        const float grey = std::clamp((image[i] - bottom) * toGrey + base, 0.0f, 255.0f);
        out[i] = tone[static_cast<int>(grey)];
    }
}

}  // namespace zelir::arith
