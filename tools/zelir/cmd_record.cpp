// zelir record CAMERA --seconds S --out MOVIE.irm: a raw movie of the live stream.
#include <chrono>
#include <cstdio>

#include "commands.h"
#include "live_frames.h"
#include "open_handle.h"
#include "progress_bar.h"

namespace zelir_cli {

namespace {

constexpr int64_t kMaxSeconds = 24 * 3600;
// Long enough to measure the frame interval to a fraction of a percent at usual rates.
constexpr auto kLockSpan = std::chrono::milliseconds(500);

}  // namespace

int RunRecord(const Args& args) {
    if (!CheckUsage(args, "record", 1, 1, {"seconds", "out"})) return kExitUsage;
    const std::string& path = args.Positional()[0];
    if (!IsCameraPath(path)) {
        return Fail(kExitUsage,
                    "record: " + path + " is not a camera path (cam://N, SCHEME://ADDRESS)");
    }
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "record: --out MOVIE.irm is required");
    const auto seconds = ParseInteger(args.Option("seconds").value_or("1"), 1, kMaxSeconds);
    if (!seconds)
        return Fail(kExitUsage, "record: --seconds takes 1.." + std::to_string(kMaxSeconds));

    Handle handle = OpenSource(path);
    if (!handle) return Fail(kExitFailure, "cannot open camera " + path);
    FrameSampler sampler(handle.get());
    if (!sampler.Lock(kLockSpan)) return Fail(kExitFailure, "no frames from " + path);
    if (ZelIr_StartRecordMovie(handle.get(), Wide(*out).c_str()) != 0) {
        return Fail(kExitFailure, "cannot write " + *out);
    }
    // Every fetch from now on is a frame of the movie.
    const auto duration = std::chrono::seconds(*seconds);
    const auto start = Clock::now();
    ProgressBar progress("record", static_cast<uint64_t>(*seconds));
    bool fetching = true;
    while (fetching && Clock::now() - start < duration) {
        fetching = sampler.Next();
        progress.Update(static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count()));
    }
    ZelIr_StopRecordMovie(handle.get());
    if (!fetching) return Fail(kExitFailure, "the camera stopped delivering frames");
    std::printf("%u frames recorded to %s at %.1f frames/s (%u repeated, %u missed)\n",
                sampler.Fetched(), out->c_str(), sampler.FramesPerSecond(), sampler.Repeated(),
                sampler.Missed());
    return kExitOk;
}

}  // namespace zelir_cli
