// Start-up, the handle life cycle, handle classification and the version queries.
#include <cstring>
#include <memory>

#include "api/handle_table.h"
#include "api/radiometry_storage.h"
#include "base/debug_output.h"

using namespace zelir;

namespace {

enum class OpenKind { kDevice, kRawImage, kMovie };

// The manager takes its slot before it opens (an open that fails gives the slot back), so a
// 17th open fails before touching its source.
ZelIrHandle CreateHandle(OpenKind kind, const wchar_t* path, void* reserved) {
    return Guarded<ZelIrHandle>(nullptr, [&]() -> ZelIrHandle {
        auto manager = std::make_shared<CIRDeviceManager>();
        if (PlaceManager(manager) < 0) return nullptr;
        const bool opened = OnHandle(manager.get(), false, [&] {
            const Status status = kind == OpenKind::kDevice ? manager->DeviceOpen(path, reserved)
                                                            : manager->FileOpen(path);
            return status == Status::kOk;
        });
        if (!opened) {
            RemoveManager(manager.get());
            return nullptr;
        }
        if (kind != OpenKind::kRawImage) manager->Stream()->SetPause(0);
        // Radiometric constants are an addition: a handle opens without them.
        Guarded(0, [&] {
            LoadRadiometry(manager.get(), path != nullptr ? path : L"");
            return 0;
        });
        return manager.get();
    });
}

}  // namespace

ZELIR_API void ZelIr_Init(void) {
    // The table starts empty; nothing else needs setting up.
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

// The manager leaves the table first, so no new call finds it; calls already running on it
// finish before the lock is had, and the last of them destroys it.
ZELIR_API int32_t ZelIr_Close(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        if (OpenCheck(handle) == nullptr) return 0;
        const std::shared_ptr<CIRDeviceManager> manager = RemoveManager(handle);
        manager->StreamClose();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_IsOpen(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0},
                    [&]() -> int32_t { return OpenCheck(handle) != nullptr ? 1 : 0; });
}

ZELIR_API uint32_t ZelIr_GetHandleType(ZelIrHandle handle) {
    return OnHandle(handle, uint32_t{0}, [&]() -> uint32_t {
        const CIRDeviceManager* manager = TableCheck(handle);
        return manager != nullptr ? manager->HandleType() : 0;
    });
}

ZELIR_API uint32_t ZelIr_GetHandleTypeExt(ZelIrHandle handle) {
    return OnHandle(handle, uint32_t{0}, [&]() -> uint32_t {
        const CIRDeviceManager* manager = TableCheck(handle);
        return manager != nullptr ? StreamTypeOf(manager) : kStreamOtherFile;
    });
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
    Guarded(0, [&] {
        SetDebugSink(output, context);
        return 0;
    });
}
