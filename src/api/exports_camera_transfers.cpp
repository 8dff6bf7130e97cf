// Camera transfers: arrays, flash programming, bad-point lists and their progress callback.
#include "api/handle_table.h"

using namespace zelir;

ZELIR_API int32_t ZelIr_SetCommandCallback(ZelIrHandle handle, ZelIrProgressCallback callback,
                                           void* context) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = StreamOf(TypeCheck(handle, kHandleCamera));
        if (stream == nullptr) return 0;
        stream->SetProgressCallback(callback, context);
        return 1;
    });
}

ZELIR_API int32_t ZelIr_TransmitArray(ZelIrHandle handle, const uint8_t* data, uint32_t length,
                                      uint32_t type) {
    return OnHandle<int32_t>(handle, 0, [&]() -> int32_t {
        CStreamBase* stream = StreamOf(TypeCheck(handle, kHandleCamera));
        return stream != nullptr && stream->TransmitArray(data, length, type) >= 100 ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_UpgradeFireware(ZelIrHandle handle, uint32_t value, uint32_t target) {
    return OnHandle<int32_t>(handle, 0, [&]() -> int32_t {
        CStreamBase* stream = StreamOf(TypeCheck(handle, kHandleCamera));
        if (stream == nullptr) return 0;
        return static_cast<int16_t>(stream->UpgradeFirmware(value, target));
    });
}

ZELIR_API int32_t ZelIr_TransmitBadPointFile(ZelIrHandle handle, const void* map, uint32_t) {
    return OnHandle<int32_t>(handle, 0, [&]() -> int32_t {
        CIRDeviceManager* manager = TypeCheck(handle, kHandleCamera);
        if (manager == nullptr) return 0;
        return manager->TransmitBadPoints(static_cast<const int16_t*>(map));
    });
}
