#include "digit_histogram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <tuple>

#include "pixel_loop.h"

namespace zelir::arith {

namespace {

ZELIR_PIXEL_LOOP
std::pair<std::uint16_t, std::uint16_t> MinMax(const std::uint16_t* pixels, std::size_t n) {
    std::uint16_t lo = 0xFFFF, hi = 0;
    for (std::size_t i = 0; i < n; ++i) {
        lo = std::min(lo, pixels[i]);
        hi = std::max(hi, pixels[i]);
    }
    return {lo, hi};
}

}  // namespace

DigitHistogram::DigitHistogram() : counts_(65536, 0) {}

void DigitHistogram::Count(std::span<const std::uint16_t> pixels, int w) {
    total_ = 0;
    if (pixels.empty() || w <= 0) {
        min_ = max_ = 0;
        counts_[0] = 0;
        return;
    }
    // Min and max first (a vectorised pass) so that only the occupied range is cleared and
    // scanned: a thermal scene seldom spans more than a few thousand digit values.
    std::tie(min_, max_) = MinMax(pixels.data(), pixels.size());
    std::fill(counts_.begin() + min_, counts_.begin() + max_ + 1, 0u);
    constexpr std::size_t kSample = 32768;
    const std::size_t h = pixels.size() / static_cast<std::size_t>(w);
    const std::size_t step = std::max<std::size_t>(
        1, static_cast<std::size_t>(std::sqrt(double(pixels.size()) / kSample)));
    std::uint32_t* counts = counts_.data();
    for (std::size_t y = step / 2; y < h; y += step) {
        const std::uint16_t* row = pixels.data() + y * static_cast<std::size_t>(w);
        for (std::size_t x = step / 2; x < static_cast<std::size_t>(w); x += step) {
            ++counts[row[x]];
            ++total_;
        }
    }
}

std::uint16_t DigitHistogram::ValueFromBottom(std::size_t rank) const {
    std::size_t seen = 0;
    for (unsigned v = min_; v <= max_; ++v) {
        seen += counts_[v];
        if (seen > rank) return static_cast<std::uint16_t>(v);
    }
    return max_;
}

std::uint16_t DigitHistogram::ValueFromTop(std::size_t rank) const {
    std::size_t seen = 0;
    for (unsigned v = max_ + 1u; v-- > min_;) {
        seen += counts_[v];
        if (seen > rank) return static_cast<std::uint16_t>(v);
    }
    return min_;
}

std::pair<std::uint16_t, std::uint16_t> DigitHistogram::Limits(long bottomCut, long topCut) const {
    auto rank = [this](long perThousand) {
        return total_ * static_cast<std::size_t>(std::clamp(perThousand, 0L, 500L)) / 1000;
    };
    std::uint16_t first = ValueFromBottom(rank(bottomCut));
    std::uint16_t second = ValueFromTop(rank(topCut));
    return {first, std::max(first, second)};
}

std::pair<double, double> DigitHistogram::OutsideShares(std::uint16_t low,
                                                        std::uint16_t high) const {
    if (total_ == 0) return {0.0, 0.0};
    std::size_t below = 0, above = 0;
    for (unsigned v = min_; v < low && v <= max_; ++v) below += counts_[v];
    for (unsigned v = std::max<unsigned>(high + 1u, min_); v <= max_; ++v) above += counts_[v];
    return {double(below) / total_, double(above) / total_};
}

void FillHistogramRecord(const DigitHistogram& histogram, HISTOGRAM_INFO& info) {
    auto [first, second] = histogram.Limits(info.bottomCut, info.topCut);
    info.minDigit = histogram.Min();
    info.maxDigit = histogram.Max();
    info.limit1 = first;
    info.limit2 = second;

    constexpr std::uint32_t kBins = 512;
    const std::uint32_t range = std::uint32_t{histogram.Max()} - histogram.Min() + 1;
    const std::uint32_t binWidth = (range + kBins - 1) / kBins;
    std::array<std::uint32_t, kBins> bins{};
    const std::uint32_t* counts = histogram.Counts().data() + histogram.Min();
    for (std::uint32_t bin = 0, first = 0; first < range && histogram.Total() > 0; ++bin) {
        const std::uint32_t last = std::min(range, first + binWidth);
        for (std::uint32_t i = first; i < last; ++i) bins[bin] += counts[i];
        first = last;
    }
    static_assert(sizeof(info.library) >= sizeof(binWidth) + sizeof(bins));
    std::memcpy(info.library, &binWidth, sizeof(binWidth));
    std::memcpy(info.library + sizeof(binWidth), bins.data(), sizeof(bins));
}

}  // namespace zelir::arith
