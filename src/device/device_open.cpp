#include "device/device_manager.h"

// Cameras are opened once the GigE camera object exists; until then no path resolves.
bool CIRDeviceManager::DeviceOpen(const wchar_t*, void*) {
    return false;
}
