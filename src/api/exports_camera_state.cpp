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

}  // namespace

ZELIR_API int32_t ZelIr_GetAmbientTemp(ZelIrHandle handle) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr ? block->ambientTemp : kNoTemperature;
}

ZELIR_API int32_t ZelIr_GetAtmosphereTempH(ZelIrHandle handle) {
    CIRDeviceManager* manager = OpenCheck(handle);
    return manager != nullptr ? manager->ParameterBlock()->atmosphereTemp : -kNoTemperature;
}

ZELIR_API int32_t ZelIr_GetVTemp(ZelIrHandle handle) {
    CIRDeviceManager* manager = TableCheck(handle);
    if (manager == nullptr) return kNoTemperature;
    if (!StreamTypeIn(manager, {1, 3, 8, 9})) return kNoDetectorTemperature;
    return manager->ParameterBlock()->vTemp;
}

ZELIR_API int32_t ZelIr_GetVTempFPA(ZelIrHandle handle) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr ? block->vTempFpa : kNoTemperature;
}

ZELIR_API int32_t ZelIr_GetULIS_GFID(ZelIrHandle handle) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr && block->ulisSelector == 0 ? block->gfid : 0;
}

ZELIR_API int32_t ZelIr_GetULIS_GSK(ZelIrHandle handle) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr && block->ulisSelector == 0 ? block->gsk : 0;
}

ZELIR_API int32_t ZelIr_GetCurrGain(ZelIrHandle handle) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr ? block->gain : 0;
}

ZELIR_API uint32_t ZelIr_GetCurrIntTime(ZelIrHandle handle) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr ? block->integrationTime : 0;
}

ZELIR_API int32_t ZelIr_GetCurrFrameDiv(ZelIrHandle handle) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr ? block->frameDivider : 0;
}

ZELIR_API int32_t ZelIr_GetCurrBAve(ZelIrHandle handle) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr ? block->bAve : 0;
}

ZELIR_API int32_t ZelIr_GetCurrBvt(ZelIrHandle handle) {
    const ZelIrParameterBlock* block = Block(handle);
    return block != nullptr ? block->bvt : 0;
}
