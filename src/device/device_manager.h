// The object behind every handle: the image-processing manager plus its one owned stream.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>

#include "device/device_list.h"
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

    // Fetches the newest frame into the stream's frame record; false when there is none.
    bool FetchNewFrame(uint32_t direct);
    // The digit array: the frame record's buffer (null without a stream).
    uint8_t* GetDigitArray();
    uint32_t GetDigitDataLength();
    uint32_t GetPixelKind();
    uint32_t GetBytesPerPixel();

    // Camera transfers without an acknowledgement per message; 0 without a stream.
    int32_t TransmitBadPoints(const int16_t* map);
    int32_t TransmitBuffer(const uint8_t* data, uint32_t size, uint32_t type);

    uint32_t saveBadPoints = 0;

  private:
    // Data directory: the executable's directory + "_TempData/", created when missing.
    void SetUpDataDirectory();
};
