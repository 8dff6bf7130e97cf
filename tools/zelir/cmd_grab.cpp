// zelir grab CAMERA --frames N --out DIR [--format bmp|raw|combined] [--stats]: N consecutive
// live frames, then (--stats) the stream reception counters.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "frame_output.h"
#include "live_frames.h"
#include "open_handle.h"
#include "progress_bar.h"
#include "stream_stats.h"

namespace zelir_cli {

namespace {

constexpr int64_t kMaxFrames = 100000;
constexpr auto kFrameWait = std::chrono::milliseconds(2000);

}  // namespace

int RunGrab(const Args& args) {
    if (!CheckUsage(args, "grab", 1, 1,
                    {"frames", "out", "format", "palette", "bc-type", "save-settings", "stats"})) {
        return kExitUsage;
    }
    const std::string& path = args.Positional()[0];
    if (!IsCameraPath(path)) {
        return Fail(kExitUsage,
                    "grab: " + path + " is not a camera path (cam://N, SCHEME://ADDRESS)");
    }
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "grab: --out DIR is required");
    const auto frames = ParseInteger(args.Option("frames").value_or("1"), 1, kMaxFrames);
    if (!frames) return Fail(kExitUsage, "grab: --frames takes 1.." + std::to_string(kMaxFrames));
    const std::string format = args.Option("format").value_or("bmp");
    if (!IsFrameFormat(format))
        return Fail(kExitUsage, "grab: --format takes bmp, raw or combined");

    Handle handle = OpenSource(path);
    if (!handle) return Fail(kExitFailure, "cannot open camera " + path);
    if (!ApplyDisplayOptions(handle, args)) return kExitUsage;
    std::error_code error;
    std::filesystem::create_directories(*out, error);
    if (error) return Fail(kExitFailure, "cannot create " + *out);

    ProgressBar progress("grab", static_cast<uint64_t>(*frames));
    uint32_t frameId = ZelIr_GetFrameID(handle.get());
    for (int64_t i = 0; i < *frames; ++i) {
        if (!WaitForNewFrame(handle.get(), frameId, kFrameWait)) {
            return Fail(kExitFailure, "no frame from " + path + " after " + std::to_string(i));
        }
        char name[32];
        std::snprintf(name, sizeof(name), "frame%05lld.%s", static_cast<long long>(i),
                      FrameExtension(format));
        const std::string target = (std::filesystem::path(*out) / name).string();
        if (!SaveFrame(handle.get(), format, target)) {
            return Fail(kExitFailure, "cannot write " + target);
        }
        progress.Update(static_cast<uint64_t>(i + 1));
    }
    std::printf("%lld frames written to %s\n", static_cast<long long>(*frames), out->c_str());
    if (args.Has("stats")) PrintStreamStats(handle.get());
    return kExitOk;
}

}  // namespace zelir_cli
