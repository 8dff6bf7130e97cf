#include "handle_radiometry.h"

#include "response_curve.h"

namespace zelir::radiometry {

HandleRadiometry::HandleRadiometry() : object_(DefaultObject()) {}

Status HandleRadiometry::SetConstants(const ZelIrRadiometry& constants) {
    if (!ValidConstants(constants)) return Status::kInvalidArgument;
    constants_ = constants;
    hasConstants_ = true;
    return Status::kOk;
}

Status HandleRadiometry::SetObject(const ZelIrObjectParams& object) {
    if (!ValidObject(object)) return Status::kInvalidArgument;
    object_ = object;
    return Status::kOk;
}

// A stored record was checked when it was loaded; a part that is refused keeps what was set.
void HandleRadiometry::Adopt(const RadiometryRecord& record) {
    (void)SetConstants(record.constants);
    (void)SetObject(record.object);
}

const TemperatureTable* HandleRadiometry::Table() {
    if (!hasConstants_) return nullptr;
    table_.Update(constants_, object_);
    return &table_;
}

void CentreMean::Add(std::span<const uint16_t> digits, uint32_t width, uint32_t height) {
    if (digits.size() < std::size_t(width) * height || width == 0 || height == 0) return;
    const uint32_t x0 = width / 4, x1 = width - width / 4;
    const uint32_t y0 = height / 4, y1 = height - height / 4;
    for (uint32_t y = y0; y < y1; ++y) {
        for (uint32_t x = x0; x < x1; ++x) sum_ += digits[std::size_t(y) * width + x];
        count_ += x1 - x0;
    }
    ++frames_;
}

}  // namespace zelir::radiometry
