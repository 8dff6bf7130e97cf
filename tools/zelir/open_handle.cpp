#include "open_handle.h"

#include <vector>

#include "commands.h"
#include "display_choices.h"
#include "input_file.h"
#include "live_frames.h"
#include "transport_advice.h"

namespace zelir_cli {

namespace {

constexpr uint32_t kCameraHandle = 1;
constexpr uint32_t kMovieHandle = 2;
constexpr auto kCameraFrameWait = std::chrono::milliseconds(2000);

// N of "cam://N" or "cam:N"; nullopt for other paths.
std::optional<int64_t> CameraIndex(const std::string& path) {
    for (const char* prefix : {"cam://", "cam:"}) {
        const std::string head(prefix);
        if (path.rfind(head, 0) == 0) return ParseInteger(path.substr(head.size()), 0, INT32_MAX);
    }
    return std::nullopt;
}

std::string CameraOpenFailure(const std::string& path) {
    const std::string advice = TransportAdvice();
    if (!advice.empty()) return "cannot open camera " + path + ": " + advice;
    const auto index = CameraIndex(path);
    if (!index) return "cannot open camera " + path + " (is it on? zelir discover lists cameras)";
    int32_t count = 0;
    ZelIr_EnumerateDevices(nullptr, &count, ZELIR_ENUM_GIGE);
    if (count <= 0) return "cannot open camera " + path + ": no camera was found (zelir discover)";
    if (*index >= count) {
        return "cannot open camera " + path + ": only cam://0.." + std::to_string(count - 1) +
               " were found (zelir discover)";
    }
    return "cannot open camera " + path + " (it was found but did not answer; zelir discover)";
}

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

std::string OpenFailure(const std::string& path) {
    if (IsCameraPath(path)) return CameraOpenFailure(path);
    if (const auto problem = CheckInputFile(path)) return *problem;
    return "cannot open " + path +
           ": not a movie (.irm), combined image (.bmp) or raw image (.raw)";
}

Handle OpenOrExplain(const std::string& path) {
    Handle handle = OpenSource(path);
    if (!handle) Fail(kExitFailure, OpenFailure(path));
    return handle;
}

Handle OpenCamera(const std::string& path) {
    if (!IsCameraPath(path)) {
        Fail(kExitUsage, path + " is not a camera path (cam://N or gige://ADDRESS)");
        return Handle();
    }
    return OpenOrExplain(path);
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
        const auto index = ParseChoice(ZELIR_CHOICES_PALETTES, *text);
        if (!index) {
            return Fail(kExitUsage,
                        "--palette takes one of " + ChoiceList(ZELIR_CHOICES_PALETTES)) == 0;
        }
        ZelIr_SetPalette(handle, static_cast<uint32_t>(*index), nullptr);
    }
    if (auto text = args.Option("bc-type")) {
        const auto type = ParseChoice(ZELIR_CHOICES_BRIGHT_CONTRAST, *text);
        if (!type) {
            return Fail(kExitUsage,
                        "--bc-type takes one of " + ChoiceList(ZELIR_CHOICES_BRIGHT_CONTRAST)) == 0;
        }
        ZelIr_SetBrihgtContrastType(handle, *type);
    }
    return true;
}

}  // namespace zelir_cli
