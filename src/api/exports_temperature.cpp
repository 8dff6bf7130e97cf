// Temperature exports: constants, object parameters, frames, pixels and regions in Celsius.
#include <cmath>
#include <limits>
#include <span>

#include "api/handle_table.h"
#include "api/radiometry_storage.h"
#include "radiometry/region_statistics.h"

using namespace zelir;
using zelir::radiometry::FrameView;
using zelir::radiometry::TemperatureTable;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The current frame as 16-bit digit values; an empty view without one.
FrameView CurrentFrame(CIRDeviceManager* manager) {
    const uint8_t* array = manager->GetDigitArray();
    const ZelIrParameterBlock* block = manager->ParameterBlock();
    const size_t pixels = size_t{block->width} * block->height;
    if (array == nullptr || manager->GetPixelKind() != 0 || pixels == 0 ||
        pixels * 2 > kFrameBufferBytes) {
        return {};
    }
    return {std::span(reinterpret_cast<const uint16_t*>(array), pixels), block->width,
            block->height};
}

void NoStatistics(ZelIrTempStats* stats) {
    if (stats != nullptr) *stats = ZelIrTempStats{kNaN, kNaN, kNaN, -1, -1, -1, -1, 0, 0};
}

template <typename Measure>
int32_t RegionExport(ZelIrHandle handle, ZelIrTempStats* stats, Measure&& measure) {
    NoStatistics(stats);
    CIRDeviceManager* manager = TableCheck(handle);
    if (manager == nullptr || stats == nullptr) return 0;
    const TemperatureTable* table = manager->Radiometry().Table();
    const FrameView frame = CurrentFrame(manager);
    if (table == nullptr || frame.digits.empty()) return 0;
    return measure(frame, *table) == Status::kOk ? 1 : 0;
}

}  // namespace

ZELIR_API int32_t ZelIr_SetRadiometry(ZelIrHandle handle, const ZelIrRadiometry* constants) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr || constants == nullptr) return 0;
        return Guarded(0, [&] {
            if (manager->Radiometry().SetConstants(*constants) != Status::kOk) return 0;
            KeepCameraRadiometry(manager);
            return 1;
        });
    });
}

ZELIR_API int32_t ZelIr_GetRadiometry(ZelIrHandle handle, ZelIrRadiometry* constants) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr || constants == nullptr || !manager->Radiometry().HasConstants()) {
            return 0;
        }
        *constants = manager->Radiometry().Constants();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_SetObjectParams(ZelIrHandle handle, const ZelIrObjectParams* params) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr || params == nullptr) return 0;
        return Guarded(0, [&] {
            if (manager->Radiometry().SetObject(*params) != Status::kOk) return 0;
            KeepCameraRadiometry(manager);
            return 1;
        });
    });
}

ZELIR_API int32_t ZelIr_GetObjectParams(ZelIrHandle handle, ZelIrObjectParams* params) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr || params == nullptr) return 0;
        *params = manager->Radiometry().Object();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_GetTempArray(ZelIrHandle handle, float* celsius) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr || celsius == nullptr) return 0;
        const TemperatureTable* table = manager->Radiometry().Table();
        const FrameView frame = CurrentFrame(manager);
        if (table == nullptr || frame.digits.empty()) return 0;
        table->Convert(frame.digits, std::span(celsius, frame.digits.size()));
        return 1;
    });
}

ZELIR_API float ZelIr_GetTempVal(ZelIrHandle handle, int16_t x, int16_t y) {
    return OnHandle(handle, float{0}, [&]() -> float {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return kNaN;
        const TemperatureTable* table = manager->Radiometry().Table();
        const FrameView frame = CurrentFrame(manager);
        if (table == nullptr || frame.digits.empty() || x < 0 || y < 0 || x >= frame.width ||
            y >= frame.height) {
            return kNaN;
        }
        return (*table)[frame.digits[size_t(y) * frame.width + x]];
    });
}

ZELIR_API float ZelIr_DigitToTemp(ZelIrHandle handle, uint16_t digit) {
    return OnHandle(handle, float{0}, [&]() -> float {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return kNaN;
        const TemperatureTable* table = manager->Radiometry().Table();
        return table != nullptr ? (*table)[digit] : kNaN;
    });
}

ZELIR_API int32_t ZelIr_GetRectTemp(ZelIrHandle handle, int32_t x, int32_t y, int32_t w, int32_t h,
                                    ZelIrTempStats* stats) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        return RegionExport(handle, stats,
                            [&](const FrameView& frame, const TemperatureTable& table) {
                                return radiometry::RectStatistics(frame, table, x, y, w, h, *stats);
                            });
    });
}

ZELIR_API int32_t ZelIr_GetLineTemp(ZelIrHandle handle, int32_t x0, int32_t y0, int32_t x1,
                                    int32_t y1, ZelIrTempStats* stats) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        return RegionExport(
            handle, stats, [&](const FrameView& frame, const TemperatureTable& table) {
                return radiometry::LineStatistics(frame, table, x0, y0, x1, y1, *stats);
            });
    });
}
