// zelir grab CAMERA --frames N --out DIR [--format F] [--stats]: N consecutive live frames as
// files, then (--stats) the stream reception counters.
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "frame_output.h"
#include "live_frames.h"
#include "open_handle.h"
#include "output_paths.h"
#include "progress_bar.h"
#include "stop_signals.h"
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
    const auto format = FormatOfName(args.Option("format").value_or("bmp"));
    if (!format)
        return Fail(kExitUsage, "grab: --format takes bmp, png, tif, npy, raw or combined");
    if (const auto problem = CheckOutputFolder(*out)) return Fail(kExitFailure, *problem);

    StopSignals signals;
    Handle handle = OpenCamera(path);
    if (!handle) return kExitFailure;
    if (!ApplyDisplayOptions(handle, args)) return kExitUsage;
    std::error_code error;
    std::filesystem::create_directories(*out, error);
    if (error) return Fail(kExitFailure, "cannot create " + *out + ": " + error.message());

    int64_t written = 0;
    {
        ProgressBar progress("grab", static_cast<uint64_t>(*frames));
        uint32_t frameId = ZelIr_GetFrameID(handle.get());
        for (; written < *frames && !StopSignals::Requested(); ++written) {
            if (!WaitForNewFrame(handle.get(), frameId, kFrameWait)) {
                return Fail(kExitFailure,
                            "no frame from " + path + " after " + std::to_string(written));
            }
            char name[32];
            std::snprintf(name, sizeof(name), "frame%05lld.%s", static_cast<long long>(written),
                          FormatExtension(*format));
            const std::string target = (std::filesystem::path(*out) / name).string();
            if (!SaveFrame(handle.get(), *format, target)) {
                return Fail(kExitFailure, "cannot write " + target);
            }
            progress.Update(static_cast<uint64_t>(written + 1));
        }
    }
    std::printf("%lld frames written to %s\n", static_cast<long long>(written), out->c_str());
    if (args.Has("stats")) PrintStreamStats(handle.get());
    return written < *frames ? StopSignals::ExitCode() : kExitOk;
}

}  // namespace zelir_cli
