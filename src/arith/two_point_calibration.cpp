#include "two_point_calibration.h"

#include <algorithm>
#include <cmath>

namespace zelir::arith {

void ReferenceAverage::Resize(std::size_t pixels) {
    sums_.assign(pixels, 0);
    frames_ = 0;
}

void ReferenceAverage::Restart() {
    std::fill(sums_.begin(), sums_.end(), 0u);
    frames_ = 0;
}

void ReferenceAverage::Add(std::span<const std::uint16_t> frame) {
    // 65536 frames of full-scale values would overflow the sums; nobody averages that many.
    if (frame.size() != sums_.size() || frames_ >= 65536) return;
    for (std::size_t i = 0; i < frame.size(); ++i) sums_[i] += frame[i];
    ++frames_;
}

namespace {

// Mean response (high - low) and mean low value over the pixels not yet marked bad.
struct Means {
    double low = 0;
    double response = 0;
    std::size_t count = 0;
};

Means GoodPixelMeans(const ReferenceAverage& low, const ReferenceAverage& high,
                     const std::vector<std::uint8_t>& bad) {
    Means means;
    double lowSum = 0, responseSum = 0;
    for (std::size_t i = 0; i < bad.size(); ++i) {
        if (bad[i]) continue;
        lowSum += low.Mean(i);
        responseSum += high.Mean(i) - low.Mean(i);
        ++means.count;
    }
    if (means.count > 0) {
        means.low = lowSum / means.count;
        means.response = responseSum / means.count;
    }
    return means;
}

}  // namespace

CalibrationResult ComputeCoefficients(const ReferenceAverage& low, const ReferenceAverage& high,
                                      const BadPixelCriteria& criteria, CorrectionTables& tables,
                                      std::vector<std::uint8_t>& badMask) {
    const std::size_t n = low.Pixels();
    if (low.Frames() == 0 || high.Frames() == 0 || n == 0 || high.Pixels() != n) {
        return CalibrationResult::kMissingReference;
    }
    // Saturated pixels first, then dead ones against the mean of the rest, then the means again
    // without them, so that a few broken pixels do not bias everybody's gain.
    std::vector<std::uint8_t> bad(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        bad[i] = high.Mean(i) >= criteria.saturation || low.Mean(i) >= criteria.saturation;
    }
    Means means = GoodPixelMeans(low, high, bad);
    if (means.count == 0 || !(means.response >= 1.0)) return CalibrationResult::kNoResponse;
    for (std::size_t i = 0; i < n; ++i) {
        const double response = high.Mean(i) - low.Mean(i);
        if (response < criteria.responseFloor * means.response) bad[i] = 1;
    }
    means = GoodPixelMeans(low, high, bad);
    if (means.count == 0 || !(means.response >= 1.0)) return CalibrationResult::kNoResponse;

    tables.gain.assign(n, 1.0f);
    tables.offset.assign(n, 0.0f);
    for (std::size_t i = 0; i < n; ++i) {
        const double response = high.Mean(i) - low.Mean(i);
        if (bad[i]) continue;
        const double gain = means.response / response;
        if (std::fabs(gain - 1.0) > criteria.gainTolerance) {
            bad[i] = 1;
            continue;
        }
        tables.gain[i] = static_cast<float>(gain);
        tables.offset[i] = static_cast<float>(means.low - gain * low.Mean(i));
    }
    badMask = std::move(bad);
    return CalibrationResult::kDone;
}

}  // namespace zelir::arith
