// Answers GVCP commands on the camera's control port: discovery, read and write register,
// and device commands; register 27 starts (1) and stops (0) the stream.
#pragma once

#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <vector>

#include "camsim_options.h"
#include "device_commands.h"
#include "frame_streamer.h"

namespace camsim {

struct InterfaceInfo {
    std::array<uint8_t, 6> mac{};
    uint32_t address = 0;  // network byte order
    uint32_t netmask = 0;  // network byte order
};

// The data of a discovery acknowledgement (kDiscoveryAckData bytes, standard layout).
std::vector<uint8_t> DiscoveryAckData(const Options& o, const InterfaceInfo& info);

class GvcpServer {
  public:
    static constexpr uint32_t kStreamRegister = 27;
    static constexpr size_t kDiscoveryAckData = 248;

    GvcpServer(int socket, const InterfaceInfo& info, std::function<Options()> options,
               FrameStreamer& streamer);
    void HandlePacket(std::span<const uint8_t> packet, const sockaddr_in& from);
    DeviceCommands& Commands() { return deviceCommands_; }
    // Control packets taken since the start, whatever they held.
    uint64_t PacketsTaken() const { return packetsTaken_; }

  private:
    // Builds the acknowledgement data for one command; returns the status.
    uint16_t Answer(uint16_t command, uint8_t flags, std::span<const uint8_t> data,
                    const sockaddr_in& from, std::vector<uint8_t>& reply);
    void Send(const std::vector<uint8_t>& ack, const sockaddr_in& to) const;

    int socket_;
    InterfaceInfo info_;
    std::function<Options()> options_;
    FrameStreamer& streamer_;
    DeviceCommands deviceCommands_;
    std::map<uint32_t, uint32_t> registers_;
    uint64_t packetsTaken_ = 0;
};

}  // namespace camsim
