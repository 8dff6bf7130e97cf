#include "device/device_manager.h"

// Recorded files are opened once the file playback stream exists; until then nothing opens.
bool CIRDeviceManager::FileOpen(const wchar_t*) {
    return false;
}
