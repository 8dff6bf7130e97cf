#include "device/device_list.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "base/string_conversion.h"
#include "gige/discovery.h"

namespace zelir {
namespace {

// Enumeration, opens and closes may run on different threads.
struct DeviceList {
    std::recursive_mutex mutex;
    std::vector<DeviceInfo> records;
};

using ListGuard = std::lock_guard<std::recursive_mutex>;

DeviceList& List() {
    static DeviceList list;
    return list;
}

// 8-bit text of at most `limit` bytes (stopping at a zero byte) into the UTF-16 field of N
// characters at `offset`. The record is packed, so fields are written through a buffer.
template <size_t N>
void PutText(DeviceInfo& record, size_t offset, const char* text, size_t limit) {
    std::wstring wide;
    for (size_t i = 0; i < limit && text[i] != '\0'; ++i) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    }
    std::array<char16_t, N> field{};
    WideToUtf16Field(wide, field);
    std::memcpy(reinterpret_cast<uint8_t*>(&record) + offset, field.data(), sizeof field);
}

void FillRecord(DeviceInfo& record, const gige::DiscoveryEntry& entry, int32_t index,
                bool indexAsSerial) {
    record = DeviceInfo{};
    char text[32];
    PutText<16>(record, offsetof(DeviceInfo, name), entry.name, sizeof entry.name);
    PutText<16>(record, offsetof(DeviceInfo, transport), "GIGE", 4);
    std::snprintf(text, sizeof text, "cam://%d", index);
    PutText<32>(record, offsetof(DeviceInfo, connectionPath), text, sizeof text);
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", entry.address[0], entry.address[1],
                  entry.address[2], entry.address[3]);
    PutText<16>(record, offsetof(DeviceInfo, address), text, sizeof text);
    PutText<16>(record, offsetof(DeviceInfo, hostAddress), entry.hostAddress,
                sizeof entry.hostAddress);
    if (indexAsSerial) {
        std::snprintf(text, sizeof text, "%d", index);
        PutText<16>(record, offsetof(DeviceInfo, serial), text, sizeof text);
    } else {
        PutText<16>(record, offsetof(DeviceInfo, serial), entry.serial, 8);
    }
    record.reserved = entry.reserved;
    record.width = entry.width;
    record.height = entry.height;
}

}  // namespace

void FreeDeviceList() {
    ListGuard guard(List().mutex);
    gige::ResetDiscovery();
    List().records.clear();
}

void BuildDeviceList(bool indexAsSerial) {
    DeviceList& list = List();
    ListGuard guard(list.mutex);
    FreeDeviceList();
    const auto found = static_cast<int32_t>(gige::Discover());
    for (int32_t i = 0; i < found; ++i) {
        const std::optional<gige::DiscoveryEntry> entry =
            gige::GetDiscoveryEntry(static_cast<uint32_t>(i));
        if (!entry) break;
        FillRecord(list.records.emplace_back(), *entry, i, indexAsSerial);
    }
}

std::vector<DeviceInfo> ListedOrDiscovered() {
    ListGuard guard(List().mutex);
    if (List().records.empty()) BuildDeviceList(true);
    return List().records;
}

std::wstring DeviceRecordText(const DeviceInfo& record, size_t offset, size_t characters) {
    std::array<char16_t, 32> field{};
    characters = std::min(characters, field.size());
    std::memcpy(field.data(), reinterpret_cast<const uint8_t*>(&record) + offset,
                characters * sizeof(char16_t));
    return Utf16FieldToWide(std::span(field).first(characters));
}

std::vector<DeviceInfo> DeviceRecords() {
    ListGuard guard(List().mutex);
    return List().records;
}

}  // namespace zelir
