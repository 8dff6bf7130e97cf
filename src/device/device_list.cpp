#include "device/device_manager.h"

namespace zelir {

void FreeDeviceList() {}

}  // namespace zelir
