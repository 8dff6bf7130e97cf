// zelir play FILE --out DIR: every frame (or a range) as an image file.
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "frame_output.h"
#include "open_handle.h"
#include "output_paths.h"
#include "progress_bar.h"
#include "stop_signals.h"

namespace zelir_cli {

int RunPlay(const Args& args) {
    if (!CheckUsage(args, "play", 1, 1,
                    {"out", "palette", "bc-type", "save-settings", "from", "to", "format"})) {
        return kExitUsage;
    }
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "play: --out DIR is required");
    const auto format = FormatOfName(args.Option("format").value_or("bmp"));
    if (!format || *format == ImageFormat::kCombined) {
        return Fail(kExitUsage, "play: --format takes bmp, png, tif, npy or raw");
    }
    if (const auto problem = CheckOutputFolder(*out)) return Fail(kExitFailure, *problem);
    const std::string& path = args.Positional()[0];
    Handle handle = OpenOrExplain(path);
    if (!handle) return kExitFailure;
    if (!ApplyDisplayOptions(handle, args)) return kExitUsage;

    const uint32_t frames = FrameCount(handle.get());
    const auto from = ParseInteger(args.Option("from").value_or("0"), 0, frames - 1);
    const auto to =
        ParseInteger(args.Option("to").value_or(std::to_string(frames - 1)), 0, frames - 1);
    if (!from || !to || *from > *to) {
        return Fail(kExitUsage, "play: --from/--to must lie in 0.." + std::to_string(frames - 1));
    }
    std::error_code error;
    std::filesystem::create_directories(*out, error);
    if (error) return Fail(kExitFailure, "cannot create " + *out + ": " + error.message());

    StopSignals signals;
    int64_t next = *from;
    {
        ProgressBar progress("play", static_cast<uint64_t>(*to - *from + 1));
        for (; next <= *to && !StopSignals::Requested(); ++next) {
            char name[32];
            std::snprintf(name, sizeof(name), "frame%05lld.%s", static_cast<long long>(next),
                          FormatExtension(*format));
            const std::string target = (std::filesystem::path(*out) / name).string();
            if (!FetchFrame(handle.get(), static_cast<uint32_t>(next)) ||
                !SaveFrame(handle.get(), *format, target)) {
                return Fail(kExitFailure, "cannot write " + target);
            }
            progress.Update(static_cast<uint64_t>(next - *from + 1));
        }
    }
    std::printf("%lld frames written to %s\n", static_cast<long long>(next - *from), out->c_str());
    return next <= *to ? StopSignals::ExitCode() : kExitOk;
}

}  // namespace zelir_cli
