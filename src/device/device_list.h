// The process-wide device list: one DeviceInfo record per discovered camera, from which
// connection paths are resolved. Guarded: enumerating, opening and closing may overlap;
// records are handed out as copies.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zelir {

// Empties the list and the discovery state.
void FreeDeviceList();
// Empties the list, discovers anew and lists every camera found; `indexAsSerial` puts the
// record's index into the serial field instead of the camera's serial number.
void BuildDeviceList(bool indexAsSerial);
// The UTF-16 text field of `characters` at byte `offset` of a record (records are packed).
std::wstring DeviceRecordText(const DeviceInfo& record, size_t offset, size_t characters);
// The records as they stand (empty when nothing is listed).
std::vector<DeviceInfo> DeviceRecords();
// The records, discovered first (index as serial) when nothing is listed.
std::vector<DeviceInfo> ListedOrDiscovered();

}  // namespace zelir
