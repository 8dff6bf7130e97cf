// zelir avi MOVIE --out x.avi: a raw movie through the display mapping into an AVI file.
#include <zelir/avi_code.h>

#include <cstdio>
#include <vector>

#include "commands.h"
#include "open_handle.h"
#include "progress_bar.h"

namespace zelir_cli {

int RunAvi(const Args& args) {
    if (!CheckUsage(args, "avi", 1, 1, {"out", "palette", "bc-type", "save-settings", "fps"}))
        return kExitUsage;
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "avi: --out FILE is required");
    const auto fps = ParseInteger(args.Option("fps").value_or("25"), 1, 1000);
    if (!fps) return Fail(kExitUsage, "avi: --fps takes 1..1000");
    const std::string& path = args.Positional()[0];
    Handle handle = OpenSource(path);
    if (!handle) return Fail(kExitFailure, "cannot open " + path);
    if (!ApplyDisplayOptions(handle, args)) return kExitUsage;

    uint32_t width = 0;
    uint32_t height = 0;
    ZelIr_GetDigitArrayPara(handle.get(), &width, &height);
    RGBQUAD palette[256];
    ZelIr_GetCurrPalette(handle.get(), reinterpret_cast<uint8_t*>(palette));
    const zelir::AviPaletteFormat format =
        zelir::MakeAviPaletteFormat(int(width), int(height), palette);
    std::vector<uint16_t> digits(size_t{width} * height);
    const uint32_t frames = FrameCount(handle.get());
    ProgressBar progress("avi", frames);
    uint32_t next = 0;
    // Rows come out of the mapping bottom-up, as the positive biHeight of the format says.
    const long written =
        zelir::RecordAvi(Wide(*out).c_str(), unsigned(*fps), format, [&](unsigned char* pixels) {
            if (next >= frames || !FetchFrame(handle.get(), next)) {
                return false;
            }
            ZelIr_GetDigitArray(handle.get(), digits.data(), nullptr);
            ZelIr_DigitArrayToBmp(handle.get(), digits.data(), pixels, 0, 0, nullptr);
            progress.Update(++next);
            return true;
        });
    if (written < 0 || uint32_t(written) != frames)
        return Fail(kExitFailure, "cannot write " + *out);
    std::printf("%ld frames written to %s\n", written, out->c_str());
    return kExitOk;
}

}  // namespace zelir_cli
