// zelir info FILE: what a recorded file holds.
#include <cstdio>

#include "commands.h"
#include "open_handle.h"

namespace zelir_cli {

namespace {

constexpr uint32_t kMovieKind = 6;

const char* KindName(uint32_t code) {
    switch (code) {
        case kMovieKind:
            return "movie";
        case 7:
            return "combined image";
        case 8:
            return "raw image";
        default:
            return "camera";
    }
}

}  // namespace

int RunInfo(const Args& args) {
    if (!CheckUsage(args, "info", 1, 1, {})) return kExitUsage;
    const std::string& path = args.Positional()[0];
    Handle handle = OpenSource(path);
    if (!handle) return Fail(kExitFailure, "cannot open " + path);
    FetchFrame(handle.get(), 0);
    uint32_t width = 0;
    uint32_t height = 0;
    ZelIr_GetDigitArrayPara(handle.get(), &width, &height);
    void* raw = nullptr;
    ZelIr_GetDeviceIRIParam(handle.get(), &raw);
    const auto* block = static_cast<const ZelIrParameterBlock*>(raw);
    std::printf("file:          %s\n", path.c_str());
    std::printf("kind:          %s\n", KindName(ZelIr_GetHandleTypeExt(handle.get())));
    std::printf("geometry:      %u x %u, 16-bit\n", width, height);
    std::printf("frames:        %u\n", FrameCount(handle.get()));
    // A header may count frames the file never received; playback repeats the last whole one.
    if (ZelIr_GetHandleTypeExt(handle.get()) == kMovieKind) {
        std::printf("whole frames:  %u\n", ZelIr_MovieGetWholeFrm(handle.get()));
    }
    std::printf("serial:        %.8s\n", block->serialNumber);
    std::printf("model:         %.8s\n", block->modelText);
    std::printf("frame id:      %u\n", ZelIr_GetFrameID(handle.get()));
    std::printf("ambient temp:  %d\n", ZelIr_GetAmbientTemp(handle.get()));
    std::printf("FPA temp:      %d\n", ZelIr_GetVTempFPA(handle.get()));
    std::printf("int. time:     %u\n", ZelIr_GetCurrIntTime(handle.get()));
    std::printf("gain:          %d\n", ZelIr_GetCurrGain(handle.get()));
    return kExitOk;
}

}  // namespace zelir_cli
