// zelir info FILE [--json]: what a recorded file holds, and nothing it does not.
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>

#include "commands.h"
#include "open_handle.h"
#include "parameter_line.h"
#include "recording_companion.h"

namespace zelir_cli {

namespace {

constexpr uint32_t kMovieKind = 6;
constexpr size_t kLineBytesInBlock = 100;

const char* KindName(uint32_t code) {
    switch (code) {
        case kMovieKind:
            return "movie";
        case 7:
            return "combined image";
        case 8:
            return "raw image";
        default:
            return "camera";
    }
}

nlohmann::json LineJson(const std::optional<LineFields>& line) {
    if (!line) return nullptr;
    return {{"serial", line->serial},    {"model", line->model},
            {"frame_id", line->frameId}, {"ambient_temp", line->ambientTemp},
            {"fpa_temp", line->fpaTemp}, {"integration_time", line->integrationTime},
            {"gain", line->gain}};
}

// What the file holds, gathered once for both kinds of output.
nlohmann::json Describe(ZelIrHandle handle, const std::string& path) {
    uint32_t width = 0, height = 0;
    ZelIr_GetDigitArrayPara(handle, &width, &height);
    const uint32_t kind = ZelIr_GetHandleTypeExt(handle);
    nlohmann::json info = {{"file", path},
                           {"kind", KindName(kind)},
                           {"width", width},
                           {"height", height},
                           {"frames", FrameCount(handle)}};
    std::optional<LineFields> line;
    if (ZelIr_HasRecordedParameterLine(handle) == 1) {
        void* block = nullptr;
        ZelIr_GetDeviceIRIParam(handle, &block);
        line = FieldsOf({static_cast<const uint8_t*>(block), kLineBytesInBlock});
    }
    const auto companion = kind == kMovieKind ? ReadCompanion(path) : std::nullopt;
    info["companion"] = companion ? nlohmann::json(CompanionPath(path)) : nullptr;
    if (companion && !companion->empty() && companion->front().hasLine) {
        line = FieldsOf(companion->front().line);
    }
    info["parameter_line"] = LineJson(line);
    ZelIrMovieFacts facts{};
    if (kind == kMovieKind && ZelIr_MovieGetFacts(handle, &facts) == 1) {
        const double arrivals = companion ? ArrivalRate(*companion) : 0;
        const double rate = arrivals > 0 ? arrivals : facts.frameRate;
        info["header_frames"] = facts.headerFrames;
        info["whole_frames"] = facts.wholeFrames;
        info["trailing_bytes"] = facts.trailingBytes;
        info["frame_rate"] = rate > 0 ? nlohmann::json(rate) : nullptr;
        info["duration_ms"] = facts.durationMs;
        info["finished"] = facts.finished == 1;
        info["truncated"] = facts.trailingBytes > 0 || facts.headerFrames > facts.wholeFrames;
    }
    return info;
}

void PrintText(const nlohmann::json& info) {
    std::printf("file:          %s\n", info["file"].get<std::string>().c_str());
    std::printf("kind:          %s\n", info["kind"].get<std::string>().c_str());
    std::printf("geometry:      %u x %u, 16-bit\n", info["width"].get<unsigned>(),
                info["height"].get<unsigned>());
    std::printf("frames:        %u\n", info["frames"].get<unsigned>());
    if (info.contains("whole_frames")) {
        std::printf("whole frames:  %u\n", info["whole_frames"].get<unsigned>());
        std::printf("header counts: %u%s\n", info["header_frames"].get<unsigned>(),
                    info["finished"].get<bool>() ? "" : " (recording never finished)");
        if (info["frame_rate"].is_null()) {
            std::printf("frame rate:    not recorded\n");
        } else {
            std::printf("frame rate:    %.2f frames/s\n", info["frame_rate"].get<double>());
        }
    }
    std::printf("companion:     %s\n", info["companion"].is_null()
                                           ? "none"
                                           : info["companion"].get<std::string>().c_str());
    const nlohmann::json& line = info["parameter_line"];
    if (line.is_null()) {
        std::printf("parameter line: not recorded (serial, model, frame id, temperatures)\n");
        return;
    }
    std::printf("serial:        %s\n", line["serial"].get<std::string>().c_str());
    std::printf("model:         %s\n", line["model"].get<std::string>().c_str());
    std::printf("frame id:      %u\n", line["frame_id"].get<unsigned>());
    std::printf("ambient temp:  %u\n", line["ambient_temp"].get<unsigned>());
    std::printf("FPA temp:      %u\n", line["fpa_temp"].get<unsigned>());
    std::printf("int. time:     %u\n", line["integration_time"].get<unsigned>());
    std::printf("gain:          %u\n", line["gain"].get<unsigned>());
}

}  // namespace

int RunInfo(const Args& args) {
    if (!CheckUsage(args, "info", 1, 1, {"json"})) return kExitUsage;
    const std::string& path = args.Positional()[0];
    Handle handle = OpenOrExplain(path);
    if (!handle) return kExitFailure;
    FetchFrame(handle.get(), 0);
    const nlohmann::json info = Describe(handle.get(), path);
    if (args.Has("json")) {
        std::printf("%s\n", info.dump(2).c_str());
    } else {
        PrintText(info);
    }
    if (info.value("truncated", false)) {
        std::fprintf(stderr,
                     "zelir: warning: %s is truncated: %u whole frames of the %u its header "
                     "counts, and %u bytes of a cut-off frame\n",
                     path.c_str(), info["whole_frames"].get<unsigned>(),
                     info["header_frames"].get<unsigned>(), info["trailing_bytes"].get<unsigned>());
    }
    return kExitOk;
}

}  // namespace zelir_cli
