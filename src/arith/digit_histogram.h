// Histogram of 16-bit digit values at full resolution, and the statistics read from it.
//
// Minimum and maximum come from every pixel. The counts come from a regular grid of about 32768
// pixels (every pixel of frames up to 256 x 128): enough to place a per-mille cut within a small
// fraction of a per mille, at a tenth of the cost of counting a 640 x 512 frame whole, which is
// what lets display mapping run at a few times the speed of copying the frame.
#pragma once

#include <zelir/zelir.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zelir::arith {

class DigitHistogram {
  public:
    DigitHistogram();

    // Counts a frame of rows `w` pixels long; afterwards Counts() is valid between Min() and
    // Max().
    void Count(std::span<const std::uint16_t> pixels, int w);

    std::uint16_t Min() const { return min_; }
    std::uint16_t Max() const { return max_; }
    // Pixels counted.
    std::size_t Total() const { return total_; }
    // Indexed by digit value; entries outside Min()..Max() are stale.
    std::span<const std::uint32_t> Counts() const { return counts_; }

    // The rank-th smallest (0-based) value; ranks past the end give Max().
    std::uint16_t ValueFromBottom(std::size_t rank) const;
    // The rank-th largest (0-based) value; ranks past the end give Min().
    std::uint16_t ValueFromTop(std::size_t rank) const;
    // Limits with `bottomCut` and `topCut` per thousand of the pixels below and above them
    // (each cut clamped to 0..500); first <= second.
    std::pair<std::uint16_t, std::uint16_t> Limits(long bottomCut, long topCut) const;

    // Shares of the pixels below `low` and above `high`.
    std::pair<double, double> OutsideShares(std::uint16_t low, std::uint16_t high) const;

  private:
    std::vector<std::uint32_t> counts_;
    std::uint16_t min_ = 0;
    std::uint16_t max_ = 0;
    std::size_t total_ = 0;
};

// Minimum, maximum and limits of the record from the histogram (cuts read from the record), and
// the library's own part of the record: a 512-bin summary of the counted pixels (u32 bin width
// in digits, then 512 u32 counts from the minimum up).
void FillHistogramRecord(const DigitHistogram& histogram, HISTOGRAM_INFO& info);

}  // namespace zelir::arith
