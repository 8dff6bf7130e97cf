// zelir save FILE --frame N --out PATH [--format combined|raw|bmp]
#include <cstdio>

#include "commands.h"
#include "frame_output.h"
#include "open_handle.h"

namespace zelir_cli {

int RunSave(const Args& args) {
    if (!CheckUsage(args, "save", 1, 1,
                    {"frame", "out", "format", "palette", "bc-type", "save-settings"})) {
        return kExitUsage;
    }
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "save: --out PATH is required");
    const std::string format = args.Option("format").value_or("combined");
    if (!IsFrameFormat(format)) {
        return Fail(kExitUsage, "save: --format takes combined, raw or bmp");
    }
    const std::string& path = args.Positional()[0];
    Handle handle = OpenSource(path);
    if (!handle) return Fail(kExitFailure, "cannot open " + path);
    if (!ApplyDisplayOptions(handle, args)) return kExitUsage;
    const uint32_t frames = FrameCount(handle.get());
    const auto frame = ParseInteger(args.Option("frame").value_or("0"), 0, frames - 1);
    if (!frame)
        return Fail(kExitUsage, "save: --frame must lie in 0.." + std::to_string(frames - 1));
    if (!FetchFrame(handle.get(), static_cast<uint32_t>(*frame))) {
        return Fail(kExitFailure, "cannot read frame " + std::to_string(*frame));
    }
    if (!SaveFrame(handle.get(), format, *out)) return Fail(kExitFailure, "cannot write " + *out);
    std::printf("frame %lld saved as %s to %s\n", static_cast<long long>(*frame), format.c_str(),
                out->c_str());
    return kExitOk;
}

}  // namespace zelir_cli
