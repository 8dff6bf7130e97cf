// Start-up, the handle life cycle, handle classification and the version queries.
#include <cstring>
#include <memory>
#include <new>

#include "api/base_library/debug_output.h"
#include "api/handle_table.h"
#include "api/radiometry_storage.h"

using namespace zelir;

namespace {

uint32_t g_initialised = 0;

enum class OpenKind { kDevice, kRawImage, kMovie };

ZelIrHandle CreateHandle(OpenKind kind, const wchar_t* path, void* reserved) {
    const int slot = FindFreeSlot();
    if (slot < 0) return nullptr;
    auto* manager = new (std::nothrow) CIRDeviceManager();
    if (manager == nullptr) return nullptr;
    HandleTable()[slot] = manager;
    const bool opened = Guarded(false, [&] {
        return kind == OpenKind::kDevice ? manager->DeviceOpen(path, reserved)
                                         : manager->FileOpen(path);
    });
    if (!opened) {
        delete manager;
        HandleTable()[slot] = nullptr;
        return nullptr;
    }
    if (kind != OpenKind::kRawImage) manager->Stream()->SetPause(0);
    Guarded(0, [&] {
        LoadRadiometry(manager, path != nullptr ? path : L"");
        return 0;
    });
    return manager;
}

}  // namespace

ZELIR_API void ZelIr_Init(void) {
    if (g_initialised != 0) return;
    HandleTable().fill(nullptr);
    g_initialised = 1;
}

ZELIR_API ZelIrHandle ZelIr_OpenDevice(const wchar_t* path, void* reserved) {
    return CreateHandle(OpenKind::kDevice, path, reserved);
}

ZELIR_API ZelIrHandle ZelIr_RawImageOpen(const wchar_t* path) {
    return CreateHandle(OpenKind::kRawImage, path, nullptr);
}

ZELIR_API ZelIrHandle ZelIr_MovieFileOpen(const wchar_t* path) {
    return CreateHandle(OpenKind::kMovie, path, nullptr);
}

ZELIR_API int32_t ZelIr_Close(ZelIrHandle handle) {
    CIRDeviceManager* manager = OpenCheck(handle);
    if (manager == nullptr) return 0;
    HandleTable()[FindSlot(handle)] = nullptr;
    manager->StreamClose();
    delete manager;
    return 1;
}

ZELIR_API int32_t ZelIr_IsOpen(ZelIrHandle handle) {
    return OpenCheck(handle) != nullptr ? 1 : 0;
}

ZELIR_API uint32_t ZelIr_GetHandleType(ZelIrHandle handle) {
    const CIRDeviceManager* manager = TableCheck(handle);
    return manager != nullptr ? manager->HandleType() : 0;
}

ZELIR_API uint32_t ZelIr_GetHandleTypeExt(ZelIrHandle handle) {
    const CIRDeviceManager* manager = TableCheck(handle);
    return manager != nullptr ? StreamTypeOf(manager) : kStreamOtherFile;
}

// The constants live in every manager; reading them directly gives the same values as building
// a temporary one.
ZELIR_API int32_t ZelIr_GetVersion(uint16_t* version) {
    if (version == nullptr) return -2;
    *version = kVersionWord;
    return 0;
}

ZELIR_API int32_t ZelIr_GetRevisionTime(char* buffer, uint32_t size) {
    if (buffer == nullptr || size < kRevisionTimeField) return -2;
    std::memcpy(buffer, kRevisionTime, sizeof(kRevisionTime));
    return 0;
}

ZELIR_API void ZelIr_SetDebugOutput(ZelIrDebugOutput output, void* context) {
    SetDebugSink(output, context);
}
