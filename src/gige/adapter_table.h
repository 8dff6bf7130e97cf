// Process-wide table of the network adapters that can reach a camera. Guarded: enumeration and
// opens may run on different threads; records are handed out as copies.
#pragma once

#include <pcap/pcap.h>

#include <cstdint>
#include <optional>

namespace zelir::gige {

struct AdapterRecord {
    uint8_t index;
    uint8_t mac[6];    // the adapter's own hardware address
    uint32_t address;  // IPv4, network byte order
    uint32_t netmask;  // network byte order
    char name[256];    // what pcap opens
    char description[256];
};

// Rebuilds the table from libpcap's device list: 0 on success, -1 when nothing usable is found.
int EnumerateAdapters();
void ReleaseAdapters();
// Fills the table from a device list in libpcap's form (EnumerateAdapters' second half).
int BuildAdapterTable(const pcap_if_t* devices);

uint32_t AdapterCount();
// Empty when index is out of range.
std::optional<AdapterRecord> GetAdapter(uint32_t index);

}  // namespace zelir::gige
