// Per-pixel gain and offset of the non-uniformity correction, applied in place.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace zelir::arith {

// As calibration computes them (and as they are saved). Empty tables are the identity.
struct CorrectionTables {
    std::vector<float> gain;
    std::vector<float> offset;

    bool Empty() const { return gain.empty(); }
    void Clear() {
        gain.clear();
        offset.clear();
    }
};

// As GenY16 applies them: 4 bytes a pixel instead of 8, which is what decides its speed. Gain in
// units of 1/16384 (0 .. just below 2: at 16000 digits its step is half a digit value), offset in
// digit values (+-32767).
struct FixedCorrection {
    std::vector<std::uint16_t> gain;
    std::vector<std::int16_t> offset;

    bool Empty() const { return gain.empty(); }
    void Clear() {
        gain.clear();
        offset.clear();
    }
};

// Pixels whose gain or offset does not fit the fixed form are marked in `badMask` (which must
// be empty or of the tables' size).
void MakeFixedCorrection(const CorrectionTables& tables, FixedCorrection& fixed,
                         std::vector<std::uint8_t>& badMask);

// out = gain * in + offset, rounded and clamped to 0..65535. Frames of another size than the
// tables are left alone.
void ApplyGainOffset(std::span<std::uint16_t> frame, const FixedCorrection& fixed);

}  // namespace zelir::arith
