// Analysis block and alarm mask exports.
#include <cstring>

#include "api/handle_table.h"

using namespace zelir;

ZELIR_API int32_t ZelIr_ImportAnalysisBlock(ZelIrHandle handle, const void* data, int32_t length) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        CStreamBase* stream = StreamOf(manager);
        if (stream == nullptr || data == nullptr || length < 1 ||
            length >= static_cast<int32_t>(CIRManager::kAnalysisBlockBytes)) {
            return 0;
        }
        std::memcpy(manager->AnalysisBlock(), data, static_cast<size_t>(length));
        manager->SetAnalysisBlockLength(static_cast<uint16_t>(length));
        manager->analysisBlockImported = 1;
        return 1;
    });
}

ZELIR_API uint16_t ZelIr_GetAnalysisBlock(ZelIrHandle handle, void** data) {
    return OnHandle(handle, uint16_t{0}, [&]() -> uint16_t {
        CIRDeviceManager* manager = TableCheck(handle);
        CStreamBase* stream = StreamOf(manager);
        if (stream == nullptr || manager->analysisBlockImported == 0 ||
            manager->AnalysisBlockLength() == 0 || data == nullptr) {
            return 0;
        }
        *data = manager->AnalysisBlock();
        return manager->AnalysisBlockLength();
    });
}

ZELIR_API int32_t ZelIr_ImportAlarmMask(ZelIrHandle handle, const void* mask) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr || mask == nullptr) return 0;
        const ZelIrParameterBlock* block = manager->ParameterBlock();
        const size_t bytes = size_t{block->width} * block->height;
        if (block->useMask == 1 && manager->Mask() != nullptr && bytes != 0) {
            std::memcpy(manager->Mask(), mask, bytes);
        }
        return 1;
    });
}
