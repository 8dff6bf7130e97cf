// zelir play FILE --out DIR: every frame (or a range) as a palette BMP.
#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "open_handle.h"
#include "progress_bar.h"

namespace zelir_cli {

int RunPlay(const Args& args) {
    if (!CheckUsage(args, "play", 1, 1,
                    {"out", "palette", "bc-type", "save-settings", "from", "to"})) {
        return kExitUsage;
    }
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "play: --out DIR is required");
    const std::string& path = args.Positional()[0];
    Handle handle = OpenSource(path);
    if (!handle) return Fail(kExitFailure, "cannot open " + path);
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
    if (error) return Fail(kExitFailure, "cannot create " + *out);

    ProgressBar progress("play", static_cast<uint64_t>(*to - *from + 1));
    for (int64_t i = *from; i <= *to; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "frame%05lld.bmp", static_cast<long long>(i));
        const std::string target = (std::filesystem::path(*out) / name).string();
        if (!FetchFrame(handle.get(), static_cast<uint32_t>(i)) ||
            ZelIr_SaveCurrImageAsBmp(handle.get(), Wide(target).c_str()) != 1) {
            return Fail(kExitFailure, "cannot write " + target);
        }
        progress.Update(static_cast<uint64_t>(i - *from + 1));
    }
    std::printf("%lld frames written to %s\n", static_cast<long long>(*to - *from + 1),
                out->c_str());
    return kExitOk;
}

}  // namespace zelir_cli
