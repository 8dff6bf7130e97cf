// zelir discover: the cameras that answer on the network adapters, as a table.
#include <zelir/zelir.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "commands.h"
#include "transport_advice.h"

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
    if (!CheckUsage(args, "discover", 0, 0, {"json"})) return kExitUsage;
    int32_t count = 0;
    ZelIr_EnumerateDevices(nullptr, &count, ZELIR_ENUM_GIGE);
    std::vector<DeviceInfo> list(static_cast<size_t>(count > 0 ? count : 0));
    if (count > 0) ZelIr_EnumerateDevices(list.data(), &count, ZELIR_ENUM_CACHED);
    nlohmann::json cameras = nlohmann::json::array();
    for (size_t i = 0; i < list.size(); ++i) {
        const DeviceInfo& r = list[i];
        cameras.push_back({{"index", i},
                           {"path", FIELD(r, connectionPath)},
                           {"address", FIELD(r, address)},
                           {"adapter", FIELD(r, hostAddress)},
                           {"serial", FIELD(r, serial)},
                           {"width", static_cast<unsigned>(r.width)},
                           {"height", static_cast<unsigned>(r.height)}});
    }
    if (args.Has("json")) std::printf("%s\n", nlohmann::json{{"cameras", cameras}}.dump(2).c_str());
    if (cameras.empty()) {
        const std::string advice = TransportAdvice();
        if (!advice.empty()) return Fail(kExitFailure, "no camera found: " + advice);
        return Fail(kExitFailure,
                    "no camera found (are they powered and on a network adapter "
                    "of this machine?)");
    }
    if (args.Has("json")) return kExitOk;
    std::printf("%-5s  %-8s  %-15s  %-15s  %-8s  %s\n", "index", "path", "address", "adapter",
                "serial", "size");
    for (const nlohmann::json& c : cameras) {
        std::printf("%-5u  %-8s  %-15s  %-15s  %-8s  %u x %u\n", c["index"].get<unsigned>(),
                    c["path"].get<std::string>().c_str(), c["address"].get<std::string>().c_str(),
                    c["adapter"].get<std::string>().c_str(), c["serial"].get<std::string>().c_str(),
                    c["width"].get<unsigned>(), c["height"].get<unsigned>());
    }
    return kExitOk;
}

}  // namespace zelir_cli
