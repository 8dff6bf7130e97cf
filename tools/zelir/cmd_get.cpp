// zelir get PATH SETTING: the camera's current value of one setting.
#include <cstdio>
#include <cstring>

#include "camera_settings.h"
#include "commands.h"
#include "open_handle.h"

namespace zelir_cli {

int RunGet(const Args& args) {
    if (!CheckUsage(args, "get", 2, 2, {})) return kExitUsage;
    const std::string& path = args.Positional()[0];
    const std::string& name = args.Positional()[1];
    const CameraSetting* setting = FindCameraSetting(name);
    if (setting == nullptr || setting->kind == CameraSetting::kPulse) {
        return Fail(kExitUsage, "get: SETTING is one of " + CameraSettingNames() +
                                    " (soft-trigger can only be set)");
    }
    Handle handle = OpenCamera(path);
    if (!handle) return kExitFailure;
    bool read = false;
    switch (setting->kind) {
        case CameraSetting::kFrequency: {
            float values[3] = {};
            read = ZelIr_GetFrameFreq(handle.get(), values) == 1;
            if (read)
                std::printf("%s %.2f %.2f %.2f\n", name.c_str(), values[0], values[1], values[2]);
            break;
        }
        case CameraSetting::kExposureTime: {
            uint32_t values[3] = {};
            read = ZelIr_GetExposureTime(handle.get(), values) == 1;
            if (read) std::printf("%s %u %u %u\n", name.c_str(), values[0], values[1], values[2]);
            break;
        }
        case CameraSetting::kWord: {
            uint8_t reply[32] = {};
            int32_t length = 0;
            read = setting->getWord(handle.get(), reply, &length) == 1;
            uint32_t value = 0;
            std::memcpy(&value, reply, 4);
            if (read) std::printf("%s %u\n", name.c_str(), value);
            break;
        }
        case CameraSetting::kTriggerBit: {
            uint32_t values[3] = {};
            read = setting->getBit(handle.get(), values, nullptr) == 1;
            if (read) std::printf("%s %u\n", name.c_str(), values[0]);
            break;
        }
        case CameraSetting::kPulse:
            break;
    }
    return read ? kExitOk : Fail(kExitFailure, "the camera did not report " + name);
}

}  // namespace zelir_cli
