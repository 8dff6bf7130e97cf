#include "open_handle.h"

#include "commands.h"
#include "live_frames.h"

namespace zelir_cli {

namespace {

constexpr uint32_t kCameraHandle = 1;
constexpr uint32_t kMovieHandle = 2;
constexpr auto kCameraFrameWait = std::chrono::milliseconds(2000);
constexpr int64_t kPaletteCount = 9;
constexpr int64_t kTypeCount = 15;

}  // namespace

Handle::Handle(ZelIrHandle handle) : handle_(handle) {
    if (handle_ != nullptr) stored_.emplace(handle_);
}

Handle::~Handle() {
    if (handle_ == nullptr) return;
    ZelIr_Close(handle_);
    if (stored_ && !keep_) stored_->Restore();
}

bool IsCameraPath(const std::string& path) {
    return path.rfind("cam:", 0) == 0 || path.find("://") != std::string::npos;
}

Handle OpenSource(const std::string& path) {
    if (IsCameraPath(path)) return Handle(ZelIr_OpenDevice(Wide(path).c_str(), nullptr));
    Handle handle(ZelIr_MovieFileOpen(Wide(path).c_str()));
    // Stepping past the last frame must not wrap while a command walks through a movie.
    if (handle) ZelIr_SetCyclePlay(handle.get(), 0);
    return handle;
}

Handle OpenCamera(const std::string& path) {
    if (!IsCameraPath(path)) {
        Fail(kExitUsage, path + " is not a camera path (cam://N or gige://ADDRESS)");
        return Handle();
    }
    Handle handle(ZelIr_OpenDevice(Wide(path).c_str(), nullptr));
    if (!handle) Fail(kExitFailure, "cannot open camera " + path);
    return handle;
}

uint32_t FrameCount(ZelIrHandle handle) {
    return ZelIr_GetHandleType(handle) == kMovieHandle ? ZelIr_MovieGetTotalFrm(handle) : 1;
}

bool FetchFrame(ZelIrHandle handle, uint32_t index) {
    if (ZelIr_GetHandleType(handle) == kCameraHandle) {
        // A camera that has just been opened may not have completed a frame yet.
        uint32_t frameId = ZelIr_GetFrameID(handle);
        return WaitForNewFrame(handle, frameId, kCameraFrameWait);
    }
    if (ZelIr_GetHandleType(handle) != kMovieHandle) return ZelIr_GetNewArray(handle) == 1;
    if (index >= ZelIr_MovieGetTotalFrm(handle)) return false;
    // Frame 0 cannot be reached by goto; stepping by 0 fetches the current position.
    if (index > 0 && ZelIr_MovieGoto(handle, index) != 1) return false;
    if (index == 0 && ZelIr_MovieGetPosi(handle) != 0) {
        ZelIr_MovieBackward(handle, ZelIr_MovieGetPosi(handle));
        return ZelIr_MovieGetPosi(handle) == 0;
    }
    return ZelIr_MovieForward(handle, 0) == 1;
}

bool ApplyDisplayOptions(Handle& owner, const Args& args) {
    ZelIrHandle handle = owner.get();
    if (args.Has("save-settings")) owner.KeepSettings();
    if (auto text = args.Option("palette")) {
        const auto index = ParseInteger(*text, 0, kPaletteCount - 1);
        if (!index) return Fail(kExitUsage, "--palette takes 0..8") == 0;
        ZelIr_SetPalette(handle, static_cast<uint32_t>(*index), nullptr);
    }
    if (auto text = args.Option("bc-type")) {
        const auto type = ParseInteger(*text, 0, kTypeCount - 1);
        if (!type) return Fail(kExitUsage, "--bc-type takes 0..14") == 0;
        ZelIr_SetBrihgtContrastType(handle, static_cast<int32_t>(*type));
    }
    return true;
}

}  // namespace zelir_cli
