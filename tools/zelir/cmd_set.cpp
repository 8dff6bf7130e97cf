// zelir set PATH SETTING [VALUE]: writes a setting and has the camera confirm it.
#include <cstdio>
#include <cstdlib>

#include "camera_settings.h"
#include "commands.h"
#include "open_handle.h"

namespace zelir_cli {

int RunSet(const Args& args) {
    if (!CheckUsage(args, "set", 2, 3, {})) return kExitUsage;
    const std::string& path = args.Positional()[0];
    const std::string& name = args.Positional()[1];
    const CameraSetting* setting = FindCameraSetting(name);
    if (setting == nullptr) {
        return Fail(kExitUsage, "set: SETTING is one of " + CameraSettingNames());
    }
    const bool pulse = setting->kind == CameraSetting::kPulse;
    if (pulse != (args.Positional().size() == 2)) {
        return Fail(kExitUsage,
                    pulse ? "set: soft-trigger takes no value" : "set: " + name + " needs a VALUE");
    }
    const std::string text = pulse ? "" : args.Positional()[2];
    float frequency = 0.0f;
    uint32_t word = 0;
    if (setting->kind == CameraSetting::kFrequency) {
        char* end = nullptr;
        frequency = std::strtof(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !(frequency > 0.0f)) {
            return Fail(kExitUsage, "set: frame-frequency takes a positive number");
        }
    } else if (!pulse) {
        char* end = nullptr;
        const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
        if (text.empty() || text[0] == '-' || *end != '\0' || v > UINT32_MAX) {
            return Fail(kExitUsage, "set: " + name + " takes a number from 0 to 4294967295");
        }
        word = static_cast<uint32_t>(v);
    }
    Handle handle = OpenCamera(path);
    if (!handle) return kExitFailure;
    int32_t confirmed = 0;
    switch (setting->kind) {
        case CameraSetting::kFrequency:
            confirmed = ZelIr_SetFrameFreq(handle.get(), frequency);
            break;
        case CameraSetting::kPulse:
            confirmed = ZelIr_SetSoftTrigger(handle.get());
            break;
        default:
            confirmed = setting->setWord(handle.get(), word);
            break;
    }
    if (confirmed != 1) {
        return Fail(kExitFailure, pulse ? "the camera did not take the soft trigger (it pulses "
                                          "only in trigger mode with trigger source 0)"
                                        : "the camera did not confirm " + name + " " + text);
    }
    if (pulse) {
        std::printf("soft trigger sent\n");
    } else {
        std::printf("%s set to %s\n", name.c_str(), text.c_str());
    }
    return kExitOk;
}

}  // namespace zelir_cli
