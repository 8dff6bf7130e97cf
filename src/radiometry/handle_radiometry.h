// The radiometric state of one open handle: constants, object parameters, the conversion table
// built from them, and the blackbody references of a calibration in progress.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <span>
#include <vector>

#include "radiometric_fit.h"
#include "radiometry_file.h"
#include "temperature_table.h"

namespace zelir::radiometry {

class HandleRadiometry {
  public:
    HandleRadiometry();

    // kInvalidArgument (state unchanged) for values that ValidConstants / ValidObject refuse.
    Status SetConstants(const ZelIrRadiometry& constants);
    Status SetObject(const ZelIrObjectParams& object);
    bool HasConstants() const { return hasConstants_; }
    const ZelIrRadiometry& Constants() const { return constants_; }
    const ZelIrObjectParams& Object() const { return object_; }

    RadiometryRecord Record() const { return {constants_, object_}; }
    void Adopt(const RadiometryRecord& record);

    // The table for the current parameters; null without constants.
    const TemperatureTable* Table();

    void AddReference(const Reference& reference) { references_.push_back(reference); }
    std::span<const Reference> References() const { return references_; }
    void ClearReferences() { references_.clear(); }

  private:
    bool hasConstants_ = false;
    ZelIrRadiometry constants_{};
    ZelIrObjectParams object_;
    TemperatureTable table_;
    std::vector<Reference> references_;
};

// Sums the centre half (in each direction) of digit frames: the part of the view a reference
// body fills most evenly.
class CentreMean {
  public:
    void Add(std::span<const uint16_t> digits, uint32_t width, uint32_t height);
    uint32_t Frames() const { return frames_; }
    double Mean() const { return count_ ? sum_ / double(count_) : 0.0; }

  private:
    double sum_ = 0.0;
    uint64_t count_ = 0;
    uint32_t frames_ = 0;
};

}  // namespace zelir::radiometry
