#include "device/device_list.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/string_conversion.h"
#include "gige/discovery.h"

namespace zelir {
namespace {

struct DeviceList {
    std::unique_ptr<DeviceInfo[]> records;
    int32_t count = 0;
};

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
    gige::ResetDiscovery();
    List().records.reset();
    List().count = 0;
}

void BuildDeviceList(bool indexAsSerial) {
    FreeDeviceList();
    const auto found = static_cast<int32_t>(gige::Discover());
    DeviceList& list = List();
    list.count = found;
    if (found <= 0) return;
    list.records = std::make_unique<DeviceInfo[]>(static_cast<size_t>(found));
    for (int32_t i = 0; i < found; ++i) {
        FillRecord(list.records[i], *gige::GetDiscoveryEntry(static_cast<uint32_t>(i)), i,
                   indexAsSerial);
    }
}

std::wstring DeviceRecordText(const DeviceInfo& record, size_t offset, size_t characters) {
    std::array<char16_t, 32> field{};
    characters = std::min(characters, field.size());
    std::memcpy(field.data(), reinterpret_cast<const uint8_t*>(&record) + offset,
                characters * sizeof(char16_t));
    return Utf16FieldToWide(std::span(field).first(characters));
}

std::span<const DeviceInfo> DeviceRecords() {
    const DeviceList& list = List();
    if (!list.records || list.count <= 0) return {};
    return {list.records.get(), static_cast<size_t>(list.count)};
}

}  // namespace zelir
