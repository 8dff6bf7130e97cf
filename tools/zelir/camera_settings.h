// The camera settings `zelir get` and `zelir set` know, by their command-line names.
#pragma once

#include <zelir/zelir.h>

#include <string>
#include <vector>

namespace zelir_cli {

struct CameraSetting {
    enum Kind { kFrequency, kExposureTime, kWord, kTriggerBit, kPulse };
    const char* name;
    Kind kind;
    int32_t (*getWord)(ZelIrHandle, void*, int32_t*);      // kWord
    int32_t (*getBit)(ZelIrHandle, uint32_t*, uint32_t*);  // kTriggerBit
    int32_t (*setWord)(ZelIrHandle, uint32_t);             // kExposureTime, kWord, kTriggerBit
};

// Null for an unknown name.
const CameraSetting* FindCameraSetting(const std::string& name);
// "frame-frequency, exposure-time, ..." for usage messages.
std::string CameraSettingNames();

}  // namespace zelir_cli
