// Two-point calibration: averaged low and high reference frames, and the per-pixel gain and
// offset computed from them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "frame_correction.h"

namespace zelir::arith {

// Running sum of reference frames of one size.
class ReferenceAverage {
  public:
    void Resize(std::size_t pixels);
    void Restart();
    void Add(std::span<const std::uint16_t> frame);
    std::uint32_t Frames() const { return frames_; }
    float Mean(std::size_t pixel) const {
        return static_cast<float>(sums_[pixel]) / static_cast<float>(frames_);
    }
    std::size_t Pixels() const { return sums_.size(); }

  private:
    std::vector<std::uint32_t> sums_;
    std::uint32_t frames_ = 0;
};

struct BadPixelCriteria {
    double gainTolerance = 0.25;  // |gain - 1| above this is bad
    double responseFloor = 0.20;  // response below this share of the mean response is dead
    double saturation = 65535.0;  // a high reference at or above this is saturated
};

enum class CalibrationResult { kDone, kMissingReference, kNoResponse };

// gain = mean response / pixel response, offset = low mean - gain * pixel low, so that every
// good pixel of a uniform scene gives the mean of the good pixels. Bad pixels (dead, saturated
// or with a gain outside the tolerance) get gain 1, offset 0 and a non-zero mask entry.
CalibrationResult ComputeCoefficients(const ReferenceAverage& low, const ReferenceAverage& high,
                                      const BadPixelCriteria& criteria, CorrectionTables& tables,
                                      std::vector<std::uint8_t>& badMask);

}  // namespace zelir::arith
