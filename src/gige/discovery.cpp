#include "gige/discovery.h"

#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "base/debug_output.h"
#include "gige/adapter_table.h"
#include "gige/control_channel.h"
#include "gige/net_interface.h"

namespace zelir::gige {
namespace {

// Discovery, opens and closes may run on different threads.
struct DiscoveryTable {
    std::recursive_mutex mutex;
    uint32_t count = 0;
    std::array<DiscoveryEntry, kMaxDiscoveredCameras> entries{};
};

using TableGuard = std::lock_guard<std::recursive_mutex>;

DiscoveryTable& Table() {
    static DiscoveryTable table;
    return table;
}

constexpr MacAddress kBroadcastMac = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
constexpr uint32_t kBroadcastAddress = 0xFFFFFFFF;
// The temporary channel of a probe only takes control replies; its frame slots are unused.
constexpr uint32_t kProbeWidth = 640;
constexpr uint32_t kProbeHeight = 512;
constexpr size_t kSerialCharacters = 8;

}  // namespace

int AddDiscoveredCamera(std::span<const uint8_t> ack, uint8_t adapterIndex,
                        const char* hostAddress) {
    if (ack.size() < discovery_ack::kSerial + kSerialCharacters) return -1;
    DiscoveryTable& table = Table();
    TableGuard guard(table.mutex);
    MacAddress mac;
    std::copy_n(ack.begin() + discovery_ack::kMac, mac.size(), mac.begin());
    for (uint32_t i = 0; i < table.count; ++i) {
        if (table.entries[i].mac == mac) {
            odtprintf(L"camera %d has found before\n", static_cast<int>(i));
            return -1;
        }
    }
    // The table holds 20 cameras; one more is reported and left out rather than written past
    // the table.
    if (table.count >= kMaxDiscoveredCameras) {
        odtprintf(L"camera table is full, camera ignored\n");
        return -1;
    }
    const uint32_t index = table.count;
    odtprintf(L"camera %d found\n", static_cast<int>(index));
    DiscoveryEntry& entry = table.entries[index];
    entry = DiscoveryEntry{};
    entry.adapterIndex = adapterIndex;
    entry.cameraIndex = static_cast<uint8_t>(index);
    std::snprintf(entry.hostAddress, sizeof entry.hostAddress, "%s",
                  hostAddress != nullptr ? hostAddress : "");
    std::copy_n(ack.begin() + discovery_ack::kAddress, 4, entry.address);
    entry.mac = mac;
    std::snprintf(entry.name, sizeof entry.name, "Gige%d", static_cast<int>(index));
    std::copy_n(ack.begin() + discovery_ack::kSerial, kSerialCharacters, entry.serial);
    entry.width = GetBe16(&ack[discovery_ack::kWidth]);
    entry.height = GetBe16(&ack[discovery_ack::kHeight]);
    table.count = index + 1;
    return static_cast<int>(index);
}

uint32_t Discover() {
    TableGuard guard(Table().mutex);
    EnumerateAdapters();
    for (uint32_t k = 0; k < AdapterCount(); ++k) {
        odtprintf(L"-------------------Gige Network Adapter %d---------------------\n",
                  static_cast<int>(k));
        NetInterface channel(k, kProbeWidth, kProbeHeight);
        if (channel.OpenAdapter(k, nullptr) != NetInterface::kSuccess) continue;
        channel.FlushMessages();
        char host[INET_ADDRSTRLEN] = {};
        const std::optional<AdapterRecord> adapter = GetAdapter(k);
        if (!adapter) continue;
        const uint32_t own = adapter->address;
        inet_ntop(AF_INET, &own, host, sizeof host);
        const uint32_t length = BuildDiscovery(channel.Control());
        if (Transact(channel, kBroadcastMac, kBroadcastAddress, length, nullptr,
                     kDiscoveryTimeoutMs) != 0) {
            continue;
        }
        // Only the first acknowledgement is looked at: one adapter yields at most one camera.
        AddDiscoveredCamera(channel.Control().reply, static_cast<uint8_t>(k), host);
    }
    return Table().count;
}

void ResetDiscovery() {
    TableGuard guard(Table().mutex);
    ReleaseAdapters();
    Table().count = 0;
}

uint32_t DiscoveredCount() {
    TableGuard guard(Table().mutex);
    return Table().count;
}

std::optional<DiscoveryEntry> GetDiscoveryEntry(uint32_t index) {
    TableGuard guard(Table().mutex);
    if (index >= Table().count) return std::nullopt;
    return Table().entries[index];
}

void SetDiscoveredGeometry(uint32_t index, uint16_t width, uint16_t height) {
    TableGuard guard(Table().mutex);
    if (index >= Table().count) return;
    Table().entries[index].width = width;
    Table().entries[index].height = height;
}

}  // namespace zelir::gige
