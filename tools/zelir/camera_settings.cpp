#include "camera_settings.h"

#include <cstring>

namespace zelir_cli {
namespace {

constexpr CameraSetting kSettings[] = {
    {"frame-frequency", CameraSetting::kFrequency, nullptr, nullptr, nullptr},
    {"exposure-time", CameraSetting::kExposureTime, nullptr, nullptr, ZelIr_SetExposureTime},
    {"exposure-mode", CameraSetting::kWord, ZelIr_GetExposureMode, nullptr, ZelIr_SetExposureMode},
    {"gain", CameraSetting::kWord, ZelIr_GetGain, nullptr, ZelIr_SetGain},
    {"pixel-format", CameraSetting::kWord, ZelIr_GetPixelFormat, nullptr, ZelIr_SetPixelFormat},
    {"flip-dir", CameraSetting::kWord, ZelIr_GetFlipDir, nullptr, ZelIr_SetFlipDir},
    {"trigger-mode", CameraSetting::kTriggerBit, nullptr, ZelIr_GetTriggerMode,
     ZelIr_SetTriggerMode},
    {"trigger-source", CameraSetting::kTriggerBit, nullptr, ZelIr_GetTriggerSource,
     ZelIr_SetTriggerSource},
    {"soft-trigger", CameraSetting::kPulse, nullptr, nullptr, nullptr},
};

}  // namespace

const CameraSetting* FindCameraSetting(const std::string& name) {
    for (const CameraSetting& s : kSettings) {
        if (name == s.name) return &s;
    }
    return nullptr;
}

std::string CameraSettingNames() {
    std::string names;
    for (const CameraSetting& s : kSettings) {
        if (!names.empty()) names += ", ";
        names += s.name;
    }
    return names;
}

}  // namespace zelir_cli
