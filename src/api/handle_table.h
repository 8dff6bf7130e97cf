// The process-wide table of open handles and the checks every export applies to its handle.
//
// Threads: the table has one mutex, held only to look a handle up, place or remove it. Every
// export on a handle runs inside OnHandle, which keeps the handle's manager alive and holds its
// own lock for the whole call: calls on one handle take turns, calls on different handles run
// at the same time, and a handle closed meanwhile is simply no longer found.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>

#include "base/guarded_call.h"
#include "device/device_manager.h"
#include "stream/stream_base.h"

namespace zelir {

inline constexpr int kHandleSlots = 16;

// Index of the slot holding `handle`; -1 for null or an unknown handle.
int FindSlot(ZelIrHandle handle);
// Lowest free slot; -1 when all are taken.
int FindFreeSlot();
// Puts the manager into the lowest free slot: its slot, or -1 when all are taken.
int PlaceManager(std::shared_ptr<CIRDeviceManager> manager);
// Takes the handle's manager out of the table; null for an unknown handle.
std::shared_ptr<CIRDeviceManager> RemoveManager(ZelIrHandle handle);
// The handle in a slot (null when free or out of range).
ZelIrHandle SlotHandle(int slot);

// Keeps the manager of a handle alive and locked for as long as it lives.
class HandleLock {
  public:
    explicit HandleLock(ZelIrHandle handle);
    HandleLock(const HandleLock&) = delete;
    HandleLock& operator=(const HandleLock&) = delete;

  private:
    std::shared_ptr<CIRDeviceManager> manager_;
    std::unique_lock<std::recursive_mutex> lock_;
};

// Each check returns the manager behind the handle, or null when the check fails. The pointer
// stays valid while the caller runs inside OnHandle for that handle.
CIRDeviceManager* TableCheck(ZelIrHandle handle);
CIRDeviceManager* TypeCheck(ZelIrHandle handle, uint32_t type);
CIRDeviceManager* TypeCheck(ZelIrHandle handle, std::initializer_list<uint32_t> types);
CIRDeviceManager* OpenCheck(ZelIrHandle handle);
CIRDeviceManager* TypedCheck(ZelIrHandle handle);

// Stream type code of a manager's stream; 0 without a stream.
uint32_t StreamTypeOf(const CIRDeviceManager* manager);
bool StreamTypeIn(const CIRDeviceManager* manager, std::initializer_list<uint32_t> codes);
// Stream of a manager that passed a check (null when it has none).
CStreamBase* StreamOf(const CIRDeviceManager* manager);

// Runs `body` holding the handle's lock (see above), with exceptions turned into `failure`.
template <typename Result, typename Body>
Result OnHandle(ZelIrHandle handle, Result failure, Body&& body) noexcept {
    return Guarded(failure, [&]() -> Result {
        HandleLock lock(handle);
        return body();
    });
}

template <typename Body>
void OnHandle(ZelIrHandle handle, Body&& body) noexcept {
    Guarded(0, [&] {
        HandleLock lock(handle);
        body();
        return 0;
    });
}

}  // namespace zelir
