// zelir get PATH SETTING [--json]: the camera's current value of one setting, with its unit,
// range and meaning where the camera reports them.
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>

#include "camera_settings.h"
#include "commands.h"
#include "open_handle.h"

namespace zelir_cli {

namespace {

// The meaning of the trigger bits: the soft trigger pulses only with source 0.
const char* BitMeaning(const std::string& name, uint32_t value) {
    if (name == "trigger-mode") return value != 0 ? "on" : "off";
    return value != 0 ? "external" : "software";
}

// Reads the setting into {"value", "min", "max", "unit", "meaning"}; nullopt when the camera
// did not answer.
std::optional<nlohmann::json> Read(ZelIrHandle handle, const CameraSetting& setting) {
    switch (setting.kind) {
        case CameraSetting::kFrequency: {
            float v[3] = {};
            if (ZelIr_GetFrameFreq(handle, v) != 1) return std::nullopt;
            return nlohmann::json{{"value", v[0]}, {"min", v[1]}, {"max", v[2]}, {"unit", "Hz"}};
        }
        case CameraSetting::kExposureTime: {
            uint32_t v[3] = {};
            if (ZelIr_GetExposureTime(handle, v) != 1) return std::nullopt;
            return nlohmann::json{{"value", v[0]}, {"min", v[1]}, {"max", v[2]}};
        }
        case CameraSetting::kWord: {
            uint8_t reply[32] = {};
            int32_t length = 0;
            if (setting.getWord(handle, reply, &length) != 1) return std::nullopt;
            uint32_t value = 0;
            std::memcpy(&value, reply, sizeof value);
            return nlohmann::json{{"value", value}};
        }
        case CameraSetting::kTriggerBit: {
            uint32_t v[3] = {};
            if (setting.getBit(handle, v, nullptr) != 1) return std::nullopt;
            return nlohmann::json{{"value", v[0]}, {"meaning", BitMeaning(setting.name, v[0])}};
        }
        case CameraSetting::kPulse:
            break;
    }
    return std::nullopt;
}

std::string Number(const nlohmann::json& value) {
    char text[32];
    if (value.is_number_float()) {
        std::snprintf(text, sizeof text, "%.2f", value.get<double>());
    } else {
        std::snprintf(text, sizeof text, "%llu", value.get<unsigned long long>());
    }
    return text;
}

void PrintText(const std::string& name, const nlohmann::json& r) {
    std::string text = name + " " + Number(r["value"]);
    if (r.contains("unit")) text += " " + r["unit"].get<std::string>();
    if (r.contains("min")) text += " (range " + Number(r["min"]) + ".." + Number(r["max"]) + ")";
    if (r.contains("meaning")) text += " (" + r["meaning"].get<std::string>() + ")";
    std::printf("%s\n", text.c_str());
}

}  // namespace

int RunGet(const Args& args) {
    if (!CheckUsage(args, "get", 2, 2, {"json"})) return kExitUsage;
    const std::string& path = args.Positional()[0];
    const std::string& name = args.Positional()[1];
    const CameraSetting* setting = FindCameraSetting(name);
    if (setting == nullptr || setting->kind == CameraSetting::kPulse) {
        return Fail(kExitUsage, "get: SETTING is one of " + CameraSettingNames() +
                                    " (soft-trigger can only be set)");
    }
    Handle handle = OpenCamera(path);
    if (!handle) return kExitFailure;
    auto reading = Read(handle.get(), *setting);
    if (!reading) return Fail(kExitFailure, "the camera did not report " + name);
    if (args.Has("json")) {
        (*reading)["setting"] = name;
        std::printf("%s\n", reading->dump(2).c_str());
    } else {
        PrintText(name, *reading);
    }
    return kExitOk;
}

}  // namespace zelir_cli
