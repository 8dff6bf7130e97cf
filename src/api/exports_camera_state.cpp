// Camera state values: fields of the parameter block filled from the camera or the file.
#include "api/handle_table.h"

using namespace zelir;

namespace {

constexpr int32_t kNoTemperature = 16384;
constexpr int32_t kNoDetectorTemperature = 17000;

const ZelIrParameterBlock* Block(ZelIrHandle handle) {
    CIRDeviceManager* manager = TableCheck(handle);
    return manager != nullptr ? manager->ParameterBlock() : nullptr;
}

// One field of the handle's parameter block, zero-extended; `fallback` for an unknown handle.
template <typename T>
int32_t Field(ZelIrHandle handle, T ZelIrParameterBlock::*field, int32_t fallback = 0) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr ? static_cast<int32_t>(block->*field) : fallback;
}

// GFID and GSK are reported only while the selector before them is 0.
int32_t UlisField(ZelIrHandle handle, uint16_t ZelIrParameterBlock::*field) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr && block->ulisSelector == 0 ? block->*field : 0;
}

}  // namespace

ZELIR_API int32_t ZelIr_GetAmbientTemp(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        return Field(handle, &ZelIrParameterBlock::ambientTemp, kNoTemperature);
    });
}

ZELIR_API int32_t ZelIr_GetAtmosphereTempH(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = OpenCheck(handle);
        return manager != nullptr ? manager->ParameterBlock()->atmosphereTemp : -kNoTemperature;
    });
}

ZELIR_API int32_t ZelIr_GetVTemp(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return kNoTemperature;
        if (!StreamTypeIn(manager,
                          {kStreamGigE, kStreamCameraKind3, kStreamRawImage, kStreamCameraKind9})) {
            return kNoDetectorTemperature;
        }
        return manager->ParameterBlock()->vTemp;
    });
}

ZELIR_API int32_t ZelIr_GetVTempFPA(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        return Field(handle, &ZelIrParameterBlock::vTempFpa, kNoTemperature);
    });
}

ZELIR_API int32_t ZelIr_GetULIS_GFID(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0},
                    [&]() -> int32_t { return UlisField(handle, &ZelIrParameterBlock::gfid); });
}

ZELIR_API int32_t ZelIr_GetULIS_GSK(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0},
                    [&]() -> int32_t { return UlisField(handle, &ZelIrParameterBlock::gsk); });
}

ZELIR_API int32_t ZelIr_GetCurrGain(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0},
                    [&]() -> int32_t { return Field(handle, &ZelIrParameterBlock::gain); });
}

ZELIR_API uint32_t ZelIr_GetCurrIntTime(ZelIrHandle handle) {
    return OnHandle(handle, uint32_t{0}, [&]() -> uint32_t {
        const ZelIrParameterBlock* block = Block(handle);
        return block != nullptr ? block->integrationTime : 0;
    });
}

ZELIR_API int32_t ZelIr_GetCurrFrameDiv(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0},
                    [&]() -> int32_t { return Field(handle, &ZelIrParameterBlock::frameDivider); });
}

ZELIR_API int32_t ZelIr_GetCurrBAve(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0},
                    [&]() -> int32_t { return Field(handle, &ZelIrParameterBlock::bAve); });
}

ZELIR_API int32_t ZelIr_GetCurrBvt(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0},
                    [&]() -> int32_t { return Field(handle, &ZelIrParameterBlock::bvt); });
}
