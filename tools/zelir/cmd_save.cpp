// zelir save FILE --frame N --out PATH [--format combined|raw|bmp]
#include <cstdio>
#include <vector>

#include "commands.h"
#include "open_handle.h"

namespace zelir_cli {

namespace {

bool WriteRaw(ZelIrHandle handle, const std::string& target) {
    uint32_t width = 0;
    uint32_t height = 0;
    ZelIr_GetDigitArrayPara(handle, &width, &height);
    std::vector<uint16_t> digits(size_t{width} * height);
    if (digits.empty() || ZelIr_GetDigitArray(handle, digits.data(), nullptr) != 1) return false;
    FILE* file = std::fopen(target.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(digits.data(), 2, digits.size(), file) == digits.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int RunSave(const Args& args) {
    if (!CheckUsage(args, "save", 1, 1, {"frame", "out", "format", "palette", "bc-type"})) {
        return kExitUsage;
    }
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "save: --out PATH is required");
    const std::string format = args.Option("format").value_or("combined");
    if (format != "combined" && format != "raw" && format != "bmp") {
        return Fail(kExitUsage, "save: --format takes combined, raw or bmp");
    }
    const std::string& path = args.Positional()[0];
    Handle handle = OpenSource(path);
    if (!handle) return Fail(kExitFailure, "cannot open " + path);
    if (!ApplyDisplayOptions(handle.get(), args)) return kExitUsage;
    const uint32_t frames = FrameCount(handle.get());
    const auto frame = ParseInteger(args.Option("frame").value_or("0"), 0, frames - 1);
    if (!frame)
        return Fail(kExitUsage, "save: --frame must lie in 0.." + std::to_string(frames - 1));
    if (!FetchFrame(handle.get(), static_cast<uint32_t>(*frame))) {
        return Fail(kExitFailure, "cannot read frame " + std::to_string(*frame));
    }
    bool saved = false;
    if (format == "combined") saved = ZelIr_SaveCurrImage(handle.get(), Wide(*out).c_str()) == 1;
    if (format == "bmp") saved = ZelIr_SaveCurrImageAsBmp(handle.get(), Wide(*out).c_str()) == 1;
    if (format == "raw") saved = WriteRaw(handle.get(), *out);
    if (!saved) return Fail(kExitFailure, "cannot write " + *out);
    std::printf("frame %lld saved as %s to %s\n", static_cast<long long>(*frame), format.c_str(),
                out->c_str());
    return kExitOk;
}

}  // namespace zelir_cli
