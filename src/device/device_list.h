// The process-wide device list: one DeviceInfo record per discovered camera, from which
// connection paths are resolved (unguarded: enumerating, opening and closing never overlap).
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <span>
#include <string>

namespace zelir {

// Empties the list and the discovery state.
void FreeDeviceList();
// Empties the list, discovers anew and lists every camera found; `indexAsSerial` puts the
// record's index into the serial field instead of the camera's serial number.
void BuildDeviceList(bool indexAsSerial);
// The UTF-16 text field of `characters` at byte `offset` of a record (records are packed).
std::wstring DeviceRecordText(const DeviceInfo& record, size_t offset, size_t characters);
// The records as they stand (empty when nothing is listed).
std::span<const DeviceInfo> DeviceRecords();

}  // namespace zelir
