// Camera discovery: a broadcast GVCP discovery command on every usable adapter, and the
// process-wide table of the cameras that answered (unguarded: discovery must not overlap an
// open, a close or a command exchange).
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "gige/udp_frame.h"

namespace zelir::gige {

// One discovered camera.
struct DiscoveryEntry {
    char hostAddress[16];  // dotted IPv4 text of the local adapter on which it answered
    uint8_t adapterIndex;  // that adapter's index in the adapter table
    uint8_t cameraIndex;   // the entry's own index
    MacAddress mac;
    char name[64];       // "Gige%d" with the camera index
    char serial[16];     // first 8 characters of the serial number
    uint8_t address[4];  // current IPv4 address, first octet first
    uint16_t width;
    uint16_t height;
    uint32_t reserved;  // 0
};

inline constexpr uint32_t kMaxDiscoveredCameras = 20;
inline constexpr uint32_t kDiscoveryTimeoutMs = 300;

// Probes every usable adapter and adds the cameras not yet listed; returns the table's count.
// Entries already in the table stay: ResetDiscovery is what empties it.
uint32_t Discover();
// Releases the adapter table and empties the discovery table.
void ResetDiscovery();

uint32_t DiscoveredCount();
// Null when index is not below the count.
std::optional<DiscoveryEntry> GetDiscoveryEntry(uint32_t index);
// Records the geometry a camera object was made with in its entry (nothing for a bad index).
void SetDiscoveredGeometry(uint32_t index, uint16_t width, uint16_t height);

// Adds the camera of one discovery acknowledgement (GVCP header included) seen on adapter
// `adapterIndex` with address text `hostAddress`, unless its MAC is listed already or the table
// is full. Returns the camera's index, or -1 when nothing was added.
int AddDiscoveredCamera(std::span<const uint8_t> ack, uint8_t adapterIndex,
                        const char* hostAddress);

}  // namespace zelir::gige
