// Camera control exports: frame callback, focus, resets, video mode, message filter, addresses
// and external trigger.
#include "api/handle_table.h"

using namespace zelir;

namespace {

// A camera handle whose stream is a GigE camera (stream type code 1).
CStreamBase* GigEStream(ZelIrHandle handle) {
    CIRDeviceManager* manager = TypeCheck(handle, kHandleCamera);
    return StreamTypeIn(manager, {kStreamGigE}) ? StreamOf(manager) : nullptr;
}

CStreamBase* TableStream(ZelIrHandle handle) {
    return StreamOf(TableCheck(handle));
}

}  // namespace

ZELIR_API int32_t ZelIr_SetCallBackFun(ZelIrHandle handle, ZelIrFrameCallback callback,
                                       void* context) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        return stream != nullptr ? stream->SetCallback(callback, context) : 0;
    });
}

ZELIR_API int32_t ZelIr_FarFocus(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = GigEStream(handle);
        if (stream == nullptr) return 0;
        stream->FarFocus();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_NearFocus(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = GigEStream(handle);
        if (stream == nullptr) return 0;
        stream->NearFocus();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_StopFocus(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = GigEStream(handle);
        if (stream == nullptr) return 0;
        stream->StopFocus();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_Reset(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0},
                    [&]() -> int32_t { return GigEStream(handle) != nullptr ? 1 : 0; });
}

ZELIR_API int32_t ZelIr_CaptureReset(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        if (stream == nullptr) return 0;
        stream->CaptureReset();
        return 1;
    });
}

// Only stream type code 2 switches video modes; no stream of this library has it, and the
// other camera kinds are not admitted either, so every handle gets 0.
ZELIR_API int32_t ZelIr_SwitchVideoMode(ZelIrHandle handle, uint16_t mode) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypeCheck(handle, kHandleCamera);
        if (!StreamTypeIn(manager, {kStreamCameraKind2})) return 0;
        return StreamOf(manager)->SwitchVideoMode(mode) != 0 ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_AddMessageFilter(ZelIrHandle handle, uintptr_t first, uintptr_t second) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = StreamOf(TypeCheck(handle, kHandleCamera));
        return stream != nullptr ? stream->SetMessageFilter(first, second) : 0;
    });
}

ZELIR_API int32_t ZelIr_SetIpAddress(ZelIrHandle handle, uint32_t address) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        return stream != nullptr && stream->SetIpAddress(address) == 0 ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_SetMacAddress(ZelIrHandle handle, const uint8_t* address) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        return stream != nullptr && stream->SetMacAddress(address) == 0 ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_SetExtTrigger(ZelIrHandle handle, uint32_t first, uint32_t second) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        if (stream == nullptr) return 0;
        stream->SetExtTrigger(first, second);
        return 1;
    });
}

ZELIR_API int32_t ZelIr_GetExtTrigger(ZelIrHandle handle, uint32_t* first, uint32_t* second) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        return stream != nullptr && stream->GetExtTrigger(first, second) == 1 ? 1 : 0;
    });
}
