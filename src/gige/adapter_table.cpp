#include "gige/adapter_table.h"

#include <linux/if_packet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <mutex>
#include <vector>

#include "base/debug_output.h"

namespace zelir::gige {
namespace {

// Enumeration (discovery) and camera opens may run on different threads.
struct AdapterTable {
    std::mutex mutex;
    std::vector<AdapterRecord> records;
};

AdapterTable& Table() {
    static AdapterTable table;
    return table;
}

bool Contains(const char* text, const char* word) {
    return text != nullptr && std::strstr(text, word) != nullptr;
}

// The hardware address that libpcap lists with the device (AF_PACKET), else the one the
// kernel reports for the interface name.
bool EthernetAddress(const pcap_if_t& dev, uint8_t (&mac)[6]) {
    for (const pcap_addr_t* a = dev.addresses; a != nullptr; a = a->next) {
        if (a->addr == nullptr || a->addr->sa_family != AF_PACKET) continue;
        const auto* ll = reinterpret_cast<const sockaddr_ll*>(a->addr);
        if (ll->sll_hatype != ARPHRD_ETHER || ll->sll_halen != 6) return false;
        std::memcpy(mac, ll->sll_addr, 6);
        return true;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return false;
    ifreq req{};
    std::strncpy(req.ifr_name, dev.name, sizeof req.ifr_name - 1);
    const bool ok = ioctl(fd, SIOCGIFHWADDR, &req) == 0 && req.ifr_hwaddr.sa_family == ARPHRD_ETHER;
    close(fd);
    if (ok) std::memcpy(mac, req.ifr_hwaddr.sa_data, 6);
    return ok;
}

// Last IPv4 address and netmask of the device; false when it has none.
bool Ipv4Address(const pcap_if_t& dev, uint32_t& address, uint32_t& netmask) {
    bool found = false;
    for (const pcap_addr_t* a = dev.addresses; a != nullptr; a = a->next) {
        if (a->addr == nullptr || a->addr->sa_family != AF_INET) continue;
        address = reinterpret_cast<const sockaddr_in*>(a->addr)->sin_addr.s_addr;
        netmask = a->netmask != nullptr && a->netmask->sa_family == AF_INET
                      ? reinterpret_cast<const sockaddr_in*>(a->netmask)->sin_addr.s_addr
                      : 0;
        found = true;
    }
    return found;
}

void CopyText(char (&dest)[256], const char* text) {
    std::memset(dest, 0, sizeof dest);
    if (text != nullptr) std::strncpy(dest, text, sizeof dest - 1);
}

}  // namespace

void ReleaseAdapters() {
    AdapterTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    table.records.clear();
}

int BuildAdapterTable(const pcap_if_t* devices) {
    AdapterTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    table.records.clear();
    uint32_t k = 0;
    // A record's index is 8-bit: adapters beyond the 256th cannot be told apart, so they are
    // not taken.
    for (const pcap_if_t* d = devices; d != nullptr && k < 256; d = d->next) {
        AdapterRecord record{};
        // Besides the description rule, skip what cannot carry a camera here: loopback, no
        // IPv4 address, no Ethernet address (any, nflog, dbus, bluetooth, tunnels).
        const bool skip =
            Contains(d->description, "Wi-Fi") || Contains(d->description, "WAN") ||
            Contains(d->description, "loopback") || (d->flags & PCAP_IF_LOOPBACK) != 0 ||
            !Ipv4Address(*d, record.address, record.netmask) || !EthernetAddress(*d, record.mac);
        if (skip) {
            odprintf("a winpcap adapter is skipped:%s\n",
                     d->description != nullptr ? d->description : d->name);
            continue;
        }
        record.index = static_cast<uint8_t>(k);
        CopyText(record.name, d->name);
        CopyText(record.description, d->description);
        table.records.push_back(record);
        ++k;
    }
    if (table.records.empty()) {
        odtprintf(L"No net adapter found! Make sure winpcap driver is installed.");
        return -1;
    }
    return 0;
}

int EnumerateAdapters() {
    ReleaseAdapters();
    pcap_if_t* devices = nullptr;
    char error[PCAP_ERRBUF_SIZE] = {};
    if (pcap_findalldevs(&devices, error) != 0) {
        odtprintf(L"Failed to find all devices\n");
        odprintf("pcap_findalldevs: %s\n", error);
        return -1;
    }
    const int result = BuildAdapterTable(devices);
    pcap_freealldevs(devices);
    return result;
}

uint32_t AdapterCount() {
    AdapterTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    return static_cast<uint32_t>(table.records.size());
}

std::optional<AdapterRecord> GetAdapter(uint32_t index) {
    AdapterTable& table = Table();
    std::lock_guard<std::mutex> guard(table.mutex);
    if (index >= table.records.size()) return std::nullopt;
    return table.records[index];
}

}  // namespace zelir::gige
