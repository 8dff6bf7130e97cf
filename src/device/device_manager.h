// The object behind every handle: the image-processing manager plus its one owned stream.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>

#include "imaging/ir_manager.h"

class CIRDeviceManager : public CIRManager {
  public:
    CIRDeviceManager();
    ~CIRDeviceManager() override;

    // Opens a camera by connection path; false leaves the manager without a stream.
    bool DeviceOpen(const wchar_t* path, void* reserved);
    // Opens a recorded file (movie, combined image or raw image).
    bool FileOpen(const wchar_t* path);
    // Saves the display settings, closes and destroys the stream; nothing when none is open.
    void StreamClose();

    uint32_t saveBadPoints = 0;
};

namespace zelir {
// Empties the process-wide device list and the discovery state.
void FreeDeviceList();
}  // namespace zelir
