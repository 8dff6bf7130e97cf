// Per-pixel gain and offset of the non-uniformity correction, applied in place.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zelir::arith {

// Empty tables are the identity.
struct CorrectionTables {
    std::vector<float> gain;
    std::vector<float> offset;

    bool Empty() const { return gain.empty(); }
    void Clear() {
        gain.clear();
        offset.clear();
    }
};

// out = gain * in + offset, rounded and clamped to 0..65535. With `offsetOnly` the gain is taken
// as 1. Frames of another size than the tables are left alone.
void ApplyGainOffset(std::span<std::uint16_t> frame, const CorrectionTables& tables,
                     bool offsetOnly);

}  // namespace zelir::arith
