// zelir avi MOVIE --out x.avi: a raw movie through the display mapping into an AVI file, at the
// movie's own rate unless --fps says otherwise.
#include <zelir/avi_code.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <optional>
#include <vector>

#include "commands.h"
#include "open_handle.h"
#include "output_paths.h"
#include "progress_bar.h"
#include "recording_companion.h"
#include "stop_signals.h"

namespace zelir_cli {

namespace {

constexpr double kMaxRate = 1000;
constexpr double kDefaultRate = 25;
constexpr unsigned kRateDivisor = 1000;  // rates kept to a thousandth of a frame per second

struct Rate {
    unsigned frames;
    unsigned seconds;
};

Rate ToFraction(double fps) {
    const auto frames = static_cast<unsigned>(std::lround(fps * kRateDivisor));
    const unsigned common = std::gcd(frames, kRateDivisor);
    return {frames / common, kRateDivisor / common};
}

std::optional<double> ParseRate(const std::string& text) {
    char* end = nullptr;
    const double fps = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(fps * kRateDivisor >= 1) || fps > kMaxRate) {
        return std::nullopt;
    }
    return fps;
}

}  // namespace

int RunAvi(const Args& args) {
    if (!CheckUsage(args, "avi", 1, 1, {"out", "palette", "bc-type", "save-settings", "fps"}))
        return kExitUsage;
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "avi: --out FILE.avi is required");
    if (std::filesystem::path(*out).extension() != ".avi") {
        return Fail(kExitUsage, "avi: --out must end in .avi (the only video format written)");
    }
    std::optional<double> fps;
    if (const auto text = args.Option("fps")) {
        fps = ParseRate(*text);
        if (!fps) return Fail(kExitUsage, "avi: --fps takes a rate in 0.001..1000 (e.g. 29.97)");
    }
    if (const auto problem = CheckOutputFile(*out)) return Fail(kExitFailure, *problem);
    const std::string& path = args.Positional()[0];
    Handle handle = OpenOrExplain(path);
    if (!handle) return kExitFailure;
    if (!ApplyDisplayOptions(handle, args)) return kExitUsage;
    const double recorded = RecordedRate(handle.get(), path);
    const Rate rate = ToFraction(fps.value_or(recorded > 0 ? recorded : kDefaultRate));

    uint32_t width = 0;
    uint32_t height = 0;
    ZelIr_GetDigitArrayPara(handle.get(), &width, &height);
    RGBQUAD palette[256];
    ZelIr_GetCurrPalette(handle.get(), reinterpret_cast<uint8_t*>(palette));
    const zelir::AviPaletteFormat format =
        zelir::MakeAviPaletteFormat(int(width), int(height), palette);
    std::vector<uint16_t> digits(size_t{width} * height);
    const uint32_t frames = FrameCount(handle.get());
    StopSignals signals;
    uint32_t next = 0;
    long written = 0;
    {
        ProgressBar progress("avi", frames);
        // Rows come out of the mapping bottom-up, as the positive biHeight of the format says.
        written = zelir::RecordAvi(
            Wide(*out).c_str(), rate.frames, rate.seconds, format, [&](unsigned char* pixels) {
                if (next >= frames || StopSignals::Requested() || !FetchFrame(handle.get(), next)) {
                    return false;
                }
                ZelIr_GetDigitArray(handle.get(), digits.data(), nullptr);
                ZelIr_DigitArrayToBmp(handle.get(), digits.data(), pixels, 0, 0, nullptr);
                progress.Update(++next);
                return true;
            });
    }
    if (written < 0) {
        std::error_code ignored;
        std::filesystem::remove(*out, ignored);
        return Fail(kExitFailure, "cannot write " + *out);
    }
    std::printf("%ld frames written to %s at %.3f frames/s\n", written, out->c_str(),
                double(rate.frames) / rate.seconds);
    if (StopSignals::Requested()) return StopSignals::ExitCode();
    if (uint32_t(written) != frames)
        return Fail(kExitFailure, "cannot read frame " + std::to_string(next));
    return kExitOk;
}

}  // namespace zelir_cli
