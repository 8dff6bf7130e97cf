// zelir save FILE --frame N --out PATH [--format combined]: one frame in the format PATH names.
#include <cstdio>

#include "commands.h"
#include "frame_output.h"
#include "open_handle.h"
#include "output_paths.h"

namespace zelir_cli {

int RunSave(const Args& args) {
    if (!CheckUsage(args, "save", 1, 1,
                    {"frame", "out", "format", "palette", "bc-type", "save-settings"})) {
        return kExitUsage;
    }
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "save: --out PATH is required");
    auto format = FormatOfPath(*out);
    if (!format) {
        return Fail(kExitUsage,
                    "save: " + *out + " names no image format " + ImageExtensionsText());
    }
    if (const auto word = args.Option("format")) {
        const auto asked = FormatOfName(*word);
        const bool combined = asked == ImageFormat::kCombined && format == ImageFormat::kBmp;
        if (!combined && asked != format) {
            return Fail(kExitUsage, "save: --format " + *word + " does not match " + *out +
                                        " (the extension picks the format; --format combined "
                                        "needs a .bmp)");
        }
        format = asked;
    }
    if (const auto problem = CheckOutputFile(*out)) return Fail(kExitFailure, *problem);
    const std::string& path = args.Positional()[0];
    Handle handle = OpenOrExplain(path);
    if (!handle) return kExitFailure;
    if (!ApplyDisplayOptions(handle, args)) return kExitUsage;
    const uint32_t frames = FrameCount(handle.get());
    const auto frame = ParseInteger(args.Option("frame").value_or("0"), 0, frames - 1);
    if (!frame)
        return Fail(kExitUsage, "save: --frame must lie in 0.." + std::to_string(frames - 1));
    if (!FetchFrame(handle.get(), static_cast<uint32_t>(*frame))) {
        return Fail(kExitFailure, "cannot read frame " + std::to_string(*frame));
    }
    if (!SaveFrame(handle.get(), *format, *out)) return Fail(kExitFailure, "cannot write " + *out);
    std::printf("frame %lld saved to %s\n", static_cast<long long>(*frame), out->c_str());
    return kExitOk;
}

}  // namespace zelir_cli
