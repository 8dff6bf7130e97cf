// zelir record CAMERA --out MOVIE.irm [--frames N | --seconds S]: every frame the SDK completes,
// once, into a raw movie with its companion MOVIE.irm.meta; until Ctrl-C without a limit.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "commands.h"
#include "live_recorder.h"
#include "open_handle.h"
#include "output_paths.h"
#include "progress_bar.h"
#include "stop_signals.h"

namespace zelir_cli {

namespace {

constexpr int64_t kMaxFrames = 100000000;
constexpr double kMaxSeconds = 7 * 24 * 3600;

// Closes the movie writer; a movie that received no frame is removed with its companions.
class MovieOutput {
  public:
    explicit MovieOutput(std::string path) : path_(std::move(path)) {}
    ~MovieOutput() {
        if (!closed_) Close(false);
    }
    MovieOutput(const MovieOutput&) = delete;
    MovieOutput& operator=(const MovieOutput&) = delete;
    bool Open(ZelIrHandle camera) {
        writer_ = ZelIr_MovieWriterOpen(camera, Wide(path_).c_str());
        return writer_ != nullptr && companion_.Open(CompanionPath(path_));
    }
    bool Close(bool keep) {
        closed_ = true;
        const bool movie = ZelIr_MovieWriterClose(writer_) == 1;
        writer_ = nullptr;
        const bool companion = companion_.Finish();
        if (!keep) {
            std::error_code ignored;
            for (const std::string& p : {path_, CompanionPath(path_), path_ + ".rad"}) {
                std::filesystem::remove(p, ignored);
            }
        }
        return movie && companion;
    }
    ZelIrMovieWriter* Writer() const { return writer_; }
    CompanionWriter& Companion() { return companion_; }

  private:
    std::string path_;
    ZelIrMovieWriter* writer_ = nullptr;
    CompanionWriter companion_;
    bool closed_ = false;
};

std::optional<RecordLimits> ParseLimits(const Args& args) {
    RecordLimits limits;
    if (const auto text = args.Option("frames")) {
        const auto frames = ParseInteger(*text, 1, kMaxFrames);
        if (!frames) return std::nullopt;
        limits.frames = static_cast<uint64_t>(*frames);
    }
    if (const auto text = args.Option("seconds")) {
        char* end = nullptr;
        const double seconds = std::strtod(text->c_str(), &end);
        if (end == text->c_str() || *end != '\0' || !(seconds > 0) || seconds > kMaxSeconds) {
            return std::nullopt;
        }
        limits.seconds = seconds;
    }
    return limits;
}

void PrintSummary(const RecordSummary& s, const std::string& out) {
    std::printf("%llu frames written to %s in %.1f s (%.1f frames/s)\n",
                static_cast<unsigned long long>(s.written), out.c_str(), s.seconds,
                s.seconds > 0 ? static_cast<double>(s.written) / s.seconds : 0.0);
    std::printf("received %llu, written %llu, lost before the SDK %llu, queue overflows %llu",
                static_cast<unsigned long long>(s.received),
                static_cast<unsigned long long>(s.written),
                static_cast<unsigned long long>(s.lostBeforeSdk),
                static_cast<unsigned long long>(s.overflows));
    if (s.otherSize > 0) {
        std::printf(", other size %llu", static_cast<unsigned long long>(s.otherSize));
    }
    if (s.writeFailures > 0) {
        std::printf(", write failures %llu", static_cast<unsigned long long>(s.writeFailures));
    }
    std::printf("; writer CPU %.3f ms/frame\n",
                s.written > 0 ? s.writerCpuSeconds * 1e3 / static_cast<double>(s.written) : 0.0);
}

}  // namespace

int RunRecord(const Args& args) {
    if (!CheckUsage(args, "record", 1, 1, {"seconds", "frames", "out"})) return kExitUsage;
    const std::string& path = args.Positional()[0];
    if (!IsCameraPath(path)) {
        return Fail(kExitUsage,
                    "record: " + path + " is not a camera path (cam://N, SCHEME://ADDRESS)");
    }
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "record: --out MOVIE.irm is required");
    if (std::filesystem::path(*out).extension() != ".irm") {
        return Fail(kExitUsage, "record: --out must name a raw movie ending in .irm");
    }
    const auto limits = ParseLimits(args);
    if (!limits) {
        return Fail(kExitUsage, "record: --frames takes 1.." + std::to_string(kMaxFrames) +
                                    ", --seconds a positive number of seconds");
    }
    for (const std::string& file : {*out, CompanionPath(*out)}) {
        if (const auto problem = CheckOutputFile(file)) return Fail(kExitFailure, *problem);
    }

    StopSignals signals;
    MovieOutput movie(*out);
    // Closed before the recorder goes: the camera's receive thread ends first.
    std::optional<LiveRecorder> recorder;
    Handle handle = OpenCamera(path);
    if (!handle) return kExitFailure;
    uint32_t width = 0, height = 0;
    ZelIr_GetDigitArrayPara(handle.get(), &width, &height);
    if (!movie.Open(handle.get())) return Fail(kExitFailure, "cannot write " + *out);
    recorder.emplace(handle.get(), movie.Writer(), movie.Companion(), size_t{width} * height * 2,
                     *limits);

    const bool bounded = limits->frames || limits->seconds;
    const uint64_t total = limits->frames
                               ? *limits->frames
                               : static_cast<uint64_t>(std::ceil(limits->seconds.value_or(0)));
    RecordSummary summary;
    {
        ProgressBar progress("record", bounded ? total : 0);
        summary = recorder->Run([&](uint64_t frames, double seconds) {
            progress.Update(limits->frames ? frames : static_cast<uint64_t>(seconds));
        });
    }
    const bool closed = movie.Close(summary.written > 0);
    PrintSummary(summary, *out);
    if (summary.written == 0) {
        Fail(kExitFailure, "no frames from " + path + "; nothing kept");
        return summary.interrupted ? StopSignals::ExitCode() : kExitFailure;
    }
    if (!closed) return Fail(kExitFailure, "cannot finish " + *out);
    if (summary.stalled) return Fail(kExitFailure, "the camera stopped delivering frames");
    // Without a limit, Ctrl-C is the way a recording ends.
    if (summary.interrupted && bounded) return StopSignals::ExitCode();
    return kExitOk;
}

}  // namespace zelir_cli
