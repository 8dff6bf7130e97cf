// The device list: enumeration and freeing.
#include <algorithm>

#include "api/handle_table.h"
#include "device/device_list.h"

using namespace zelir;

ZELIR_API int32_t ZelIr_EnumerateDevices(DeviceInfo* list, int32_t* count, uint32_t type) {
    return Guarded(int32_t{0}, [&] {
        if (type != ZELIR_ENUM_CACHED) FreeDeviceList();
        if (type == ZELIR_ENUM_GIGE || type == ZELIR_ENUM_ALL) {
            BuildDeviceList(type == ZELIR_ENUM_ALL);
        }
        const std::vector<DeviceInfo> records = DeviceRecords();
        if (list != nullptr) std::copy(records.begin(), records.end(), list);
        if (count != nullptr) *count = static_cast<int32_t>(records.size());
        return int32_t{0};
    });
}

ZELIR_API int32_t ZelIr_FreeDevices(void) {
    return Guarded(int32_t{0}, [] {
        FreeDeviceList();
        return int32_t{0};
    });
}
