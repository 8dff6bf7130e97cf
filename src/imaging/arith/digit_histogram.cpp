#include "digit_histogram.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zelir::arith {

DigitHistogram::DigitHistogram() : counts_(65536, 0) {}

void DigitHistogram::Count(std::span<const std::uint16_t> pixels) {
    total_ = pixels.size();
    if (pixels.empty()) {
        min_ = max_ = 0;
        counts_[0] = 0;
        return;
    }
    // Min and max first (a vectorised pass) so that only the occupied range is cleared and
    // scanned: a thermal scene seldom spans more than a few thousand digit values.
    std::uint16_t lo = 0xFFFF, hi = 0;
    for (std::uint16_t v : pixels) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    min_ = lo;
    max_ = hi;
    std::fill(counts_.begin() + lo, counts_.begin() + hi + 1, 0u);
    std::uint32_t* counts = counts_.data();
    for (std::uint16_t v : pixels) ++counts[v];
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

std::pair<std::size_t, std::size_t> DigitHistogram::Outside(std::uint16_t low,
                                                            std::uint16_t high) const {
    std::size_t below = 0, above = 0;
    if (total_ == 0) return {0, 0};
    for (unsigned v = min_; v < low && v <= max_; ++v) below += counts_[v];
    for (unsigned v = std::max<unsigned>(high + 1u, min_); v <= max_; ++v) above += counts_[v];
    return {below, above};
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
    auto counts = histogram.Counts();
    for (std::uint32_t i = 0; i < range && histogram.Total() > 0; ++i) {
        bins[i / binWidth] += counts[histogram.Min() + i];
    }
    static_assert(sizeof(info.library) >= sizeof(binWidth) + sizeof(bins));
    std::memcpy(info.library, &binWidth, sizeof(binWidth));
    std::memcpy(info.library + sizeof(binWidth), bins.data(), sizeof(bins));
}

}  // namespace zelir::arith
