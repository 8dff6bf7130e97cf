// zelir discover: the cameras that answer on the network adapters, as a table.
#include <zelir/zelir.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"

namespace zelir_cli {

namespace {

// A text field of a record (records are packed: read through a buffer). Camera fields are
// ASCII.
std::string Field(const DeviceInfo& record, size_t offset, size_t characters) {
    char16_t text[32] = {};
    std::memcpy(text, reinterpret_cast<const uint8_t*>(&record) + offset,
                characters * sizeof(char16_t));
    std::string out;
    for (size_t i = 0; i < characters && text[i] != 0; ++i) {
        out += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    }
    return out;
}
#define FIELD(record, name) \
    Field(record, offsetof(DeviceInfo, name), sizeof(DeviceInfo::name) / sizeof(char16_t))

}  // namespace

int RunDiscover(const Args& args) {
    if (!CheckUsage(args, "discover", 0, 0, {})) return kExitUsage;
    int32_t count = 0;
    ZelIr_EnumerateDevices(nullptr, &count, ZELIR_ENUM_GIGE);
    if (count <= 0) return Fail(kExitFailure, "no camera found");
    std::vector<DeviceInfo> list(static_cast<size_t>(count));
    ZelIr_EnumerateDevices(list.data(), &count, ZELIR_ENUM_CACHED);
    std::printf("%-5s  %-8s  %-15s  %-15s  %-8s  %s\n", "index", "path", "address", "adapter",
                "serial", "size");
    for (int32_t i = 0; i < count; ++i) {
        const DeviceInfo& r = list[static_cast<size_t>(i)];
        std::printf("%-5d  %-8s  %-15s  %-15s  %-8s  %u x %u\n", i,
                    FIELD(r, connectionPath).c_str(), FIELD(r, address).c_str(),
                    FIELD(r, hostAddress).c_str(), FIELD(r, serial).c_str(),
                    static_cast<unsigned>(r.width), static_cast<unsigned>(r.height));
    }
    return kExitOk;
}

}  // namespace zelir_cli
