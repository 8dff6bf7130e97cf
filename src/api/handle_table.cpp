#include "api/handle_table.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zelir {
namespace {

struct HandleSlots {
    std::mutex mutex;
    std::array<std::shared_ptr<CIRDeviceManager>, kHandleSlots> slots;
};

HandleSlots& Table() {
    static HandleSlots table;
    return table;
}

using TableGuard = std::lock_guard<std::mutex>;

int FindSlotLocked(const HandleSlots& table, ZelIrHandle handle) {
    if (handle == nullptr) return -1;
    for (int i = 0; i < kHandleSlots; ++i) {
        if (table.slots[i].get() == handle) return i;
    }
    return -1;
}

int FindFreeSlotLocked(const HandleSlots& table) {
    for (int i = 0; i < kHandleSlots; ++i) {
        if (!table.slots[i]) return i;
    }
    return -1;
}

std::shared_ptr<CIRDeviceManager> FindManager(ZelIrHandle handle) {
    HandleSlots& table = Table();
    TableGuard guard(table.mutex);
    const int slot = FindSlotLocked(table, handle);
    return slot < 0 ? nullptr : table.slots[slot];
}

}  // namespace

int FindSlot(ZelIrHandle handle) {
    HandleSlots& table = Table();
    TableGuard guard(table.mutex);
    return FindSlotLocked(table, handle);
}

int FindFreeSlot() {
    HandleSlots& table = Table();
    TableGuard guard(table.mutex);
    return FindFreeSlotLocked(table);
}

int PlaceManager(std::shared_ptr<CIRDeviceManager> manager) {
    HandleSlots& table = Table();
    TableGuard guard(table.mutex);
    const int slot = FindFreeSlotLocked(table);
    if (slot >= 0) table.slots[slot] = std::move(manager);
    return slot;
}

std::shared_ptr<CIRDeviceManager> RemoveManager(ZelIrHandle handle) {
    HandleSlots& table = Table();
    TableGuard guard(table.mutex);
    const int slot = FindSlotLocked(table, handle);
    if (slot < 0) return nullptr;
    return std::exchange(table.slots[slot], nullptr);
}

ZelIrHandle SlotHandle(int slot) {
    HandleSlots& table = Table();
    TableGuard guard(table.mutex);
    return slot >= 0 && slot < kHandleSlots ? table.slots[slot].get() : nullptr;
}

HandleLock::HandleLock(ZelIrHandle handle) : manager_(FindManager(handle)) {
    if (!manager_) return;
    lock_ = std::unique_lock<std::recursive_mutex>(manager_->Mutex());
    manager_->SyncWithSource();
}

CIRDeviceManager* TableCheck(ZelIrHandle handle) {
    return FindManager(handle).get();
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
