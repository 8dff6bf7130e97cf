// Display mapping and palette exports.
#include <cstring>

#include "api/handle_table.h"
#include "imaging/display_settings.h"

using namespace zelir;

namespace {

constexpr int kTypeCount = 15;
constexpr int kManualLinear = 1;

// With the manual linear type only 0..99 is meaningful; anything else falls back to the middle.
float DisplayValue(const ZelIrParameterBlock& block, int value) {
    if (block.bcType == kManualLinear && (value < 0 || value > 99)) return 50.0f;
    return static_cast<float>(value);
}

void CopyPalette(CIRDeviceManager* manager, uint8_t* table) {
    if (table != nullptr) {
        std::memcpy(table, manager->PaletteTable().data(), sizeof(RGBQUAD) * 256);
    }
}

}  // namespace

ZELIR_API int32_t ZelIr_SetPalette(ZelIrHandle handle, uint32_t index, uint8_t* table) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        manager->LoadPalette(index > 8 ? 0 : static_cast<int>(index));
        CopyPalette(manager, table);
        return 1;
    });
}

ZELIR_API int32_t ZelIr_SetUserPalette(ZelIrHandle handle, const void* table) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        return manager->SetUserPalette(static_cast<const RGBQUAD*>(table));
    });
}

ZELIR_API uint16_t ZelIr_GetCurrPalette(ZelIrHandle handle, uint8_t* table) {
    return OnHandle(handle, uint16_t{0}, [&]() -> uint16_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        CopyPalette(manager, table);
        return manager->ParameterBlock()->paletteIndex;
    });
}

ZELIR_API int32_t ZelIr_SetBrihgtContrastType(ZelIrHandle handle, int32_t type) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        manager->ParameterBlock()->bcType =
            static_cast<int16_t>(type >= 0 && type < kTypeCount ? type : 0);
        return 1;
    });
}

ZELIR_API int32_t ZelIr_GetBrihgtContrastType(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        return manager != nullptr ? manager->ParameterBlock()->bcType : -1;
    });
}

ZELIR_API int32_t ZelIr_SetCurrBright(ZelIrHandle handle, int32_t value) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        ZelIrParameterBlock* block = manager->ParameterBlock();
        block->brightness = DisplayValue(*block, value);
        return 1;
    });
}

ZELIR_API int32_t ZelIr_SetCurrContrast(ZelIrHandle handle, int32_t value) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        ZelIrParameterBlock* block = manager->ParameterBlock();
        block->contrast = DisplayValue(*block, value);
        return 1;
    });
}

ZELIR_API int32_t ZelIr_GetCurrBright(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        return manager != nullptr ? DisplaySettingAsInt(manager->ParameterBlock()->brightness) : 0;
    });
}

ZELIR_API int32_t ZelIr_GetCurrContrast(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        return manager != nullptr ? DisplaySettingAsInt(manager->ParameterBlock()->contrast) : 0;
    });
}

ZELIR_API int32_t ZelIr_DigitArrayToBmp(ZelIrHandle handle, const uint16_t* digits, uint8_t* out,
                                        uint32_t, int32_t noFlip, HISTOGRAM_INFO* record) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        return manager->MapToY8(digits, out, noFlip, record);
    });
}
