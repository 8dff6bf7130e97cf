#include "api/handle_table.h"

#include <algorithm>

namespace zelir {

std::array<CIRDeviceManager*, kHandleSlots>& HandleTable() {
    static std::array<CIRDeviceManager*, kHandleSlots> table{};
    return table;
}

int FindSlot(ZelIrHandle handle) {
    if (handle == nullptr) return -1;
    const auto& table = HandleTable();
    for (int i = 0; i < kHandleSlots; ++i) {
        if (table[i] == handle) return i;
    }
    return -1;
}

int FindFreeSlot() {
    const auto& table = HandleTable();
    for (int i = 0; i < kHandleSlots; ++i) {
        if (table[i] == nullptr) return i;
    }
    return -1;
}

CIRDeviceManager* TableCheck(ZelIrHandle handle) {
    const int slot = FindSlot(handle);
    return slot < 0 ? nullptr : HandleTable()[slot];
}

CIRDeviceManager* TypeCheck(ZelIrHandle handle, uint32_t type) {
    CIRDeviceManager* manager = TableCheck(handle);
    return manager != nullptr && manager->HandleType() == type ? manager : nullptr;
}

CIRDeviceManager* TypeCheck(ZelIrHandle handle, std::initializer_list<uint32_t> types) {
    CIRDeviceManager* manager = TableCheck(handle);
    if (manager == nullptr) return nullptr;
    return std::find(types.begin(), types.end(), manager->HandleType()) != types.end() ? manager
                                                                                       : nullptr;
}

CIRDeviceManager* OpenCheck(ZelIrHandle handle) {
    return TypeCheck(handle, {kHandleCamera, kHandleMovie, kHandleImage});
}

CIRDeviceManager* TypedCheck(ZelIrHandle handle) {
    CIRDeviceManager* manager = TableCheck(handle);
    return manager != nullptr && manager->HandleType() != kHandleNone ? manager : nullptr;
}

uint32_t StreamTypeOf(const CIRDeviceManager* manager) {
    const CStreamBase* stream = StreamOf(manager);
    return stream != nullptr ? stream->StreamTypeCode() : 0;
}

bool StreamTypeIn(const CIRDeviceManager* manager, std::initializer_list<uint32_t> codes) {
    const uint32_t code = StreamTypeOf(manager);
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

CStreamBase* StreamOf(const CIRDeviceManager* manager) {
    return manager != nullptr ? manager->Stream() : nullptr;
}

}  // namespace zelir
