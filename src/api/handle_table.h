// The process-wide table of open handles and the checks every export applies to its handle.
#pragma once

#include <zelir/zelir.h>

#include <array>
#include <cstdint>
#include <initializer_list>

#include "device/device_manager.h"
#include "stream/stream_base.h"

namespace zelir {

inline constexpr int kHandleSlots = 16;

std::array<CIRDeviceManager*, kHandleSlots>& HandleTable();

// Index of the slot holding `handle`; -1 for null or an unknown handle.
int FindSlot(ZelIrHandle handle);
// Lowest free slot; -1 when all are taken.
int FindFreeSlot();

// Each check returns the manager behind the handle, or null when the check fails.
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

// Runs `body`; any exception becomes `failure`, so nothing is thrown across the interface.
template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

}  // namespace zelir
