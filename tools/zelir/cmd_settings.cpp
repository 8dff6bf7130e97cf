// zelir settings [--palette N] [--bc-type T] [--brightness B] [--contrast C]: the display
// settings stored for applications (para.ini in the library's data folder), shown and changed
// through the library itself: it loads them when a movie without a parameter line opens and
// stores them when the movie closes.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "commands.h"
#include "open_handle.h"

namespace zelir_cli {
namespace {

constexpr int64_t kPercentMax = 100;
// A one-frame movie of the smallest size the library maps, all zero (so no parameter line):
// the 64-byte header holds the source tag, frame count at 52, width at 60 and height at 62.
constexpr uint16_t kCarrierWidth = 48;
constexpr uint16_t kCarrierHeight = 36;
constexpr size_t kHeaderBytes = 64;

// A scratch folder holding the carrier movie, removed with everything in it.
class CarrierMovie {
  public:
    CarrierMovie() {
        char pattern[] = "/tmp/zelir-settings-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        folder_ = pattern;
        char header[kHeaderBytes] = "IRGBIT";
        const uint32_t frames = 1;
        std::memcpy(header + 52, &frames, sizeof(frames));
        std::memcpy(header + 60, &kCarrierWidth, sizeof(kCarrierWidth));
        std::memcpy(header + 62, &kCarrierHeight, sizeof(kCarrierHeight));
        std::ofstream out(Path(), std::ios::binary);
        out.write(header, sizeof(header));
        const std::string frame(size_t{kCarrierWidth} * kCarrierHeight * 2, '\0');
        out.write(frame.data(), static_cast<std::streamsize>(frame.size()));
        if (!out.flush()) folder_.clear();
    }
    ~CarrierMovie() {
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    CarrierMovie(const CarrierMovie&) = delete;
    CarrierMovie& operator=(const CarrierMovie&) = delete;

    bool Ready() const { return !folder_.empty(); }
    std::filesystem::path Path() const { return folder_ / "carrier.irm"; }

  private:
    std::filesystem::path folder_;
};

bool ApplyPercent(const Args& args, const char* name, int32_t (*setter)(ZelIrHandle, int32_t),
                  ZelIrHandle handle) {
    const auto text = args.Option(name);
    if (!text) return true;
    const auto value = ParseInteger(*text, 0, kPercentMax);
    if (!value) return Fail(kExitUsage, std::string("--") + name + " takes 0..100") == 0;
    setter(handle, static_cast<int32_t>(*value));
    return true;
}

}  // namespace

int RunSettings(const Args& args) {
    if (!CheckUsage(args, "settings", 0, 0, {"palette", "bc-type", "brightness", "contrast"})) {
        return kExitUsage;
    }
    CarrierMovie carrier;
    if (!carrier.Ready()) return Fail(kExitFailure, "cannot create a scratch file in /tmp");
    Handle handle(ZelIr_MovieFileOpen(carrier.Path().wstring().c_str()));
    if (!handle) return Fail(kExitFailure, "the library cannot open its settings");
    if (!ApplyDisplayOptions(handle, args) ||
        !ApplyPercent(args, "brightness", ZelIr_SetCurrBright, handle.get()) ||
        !ApplyPercent(args, "contrast", ZelIr_SetCurrContrast, handle.get())) {
        return kExitUsage;
    }
    for (const char* name : {"palette", "bc-type", "brightness", "contrast"}) {
        if (args.Has(name)) handle.KeepSettings();
    }
    std::printf("folder      %s\n", DataFolder(handle.get()).c_str());
    std::printf("palette     %u\n",
                static_cast<unsigned>(ZelIr_GetCurrPalette(handle.get(), nullptr)));
    std::printf("bc-type     %d\n", ZelIr_GetBrihgtContrastType(handle.get()));
    std::printf("brightness  %d\n", ZelIr_GetCurrBright(handle.get()));
    std::printf("contrast    %d\n", ZelIr_GetCurrContrast(handle.get()));
    return kExitOk;
}

}  // namespace zelir_cli
