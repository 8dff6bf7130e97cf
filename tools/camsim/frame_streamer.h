// Sends frames of the thermal scene as stream packets, paced at line rate within a frame.
#pragma once

#include <netinet/in.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "camsim_options.h"
#include "thermal_scene.h"

namespace camsim {

// Stream packet: 10 header bytes (status, block id, packet format, packet id, data format)
// followed by 1280 data bytes; the last packet of a frame carries the parameter line.
constexpr uint32_t kPacketData = 1280;
constexpr uint32_t kPacketHeader = 10;
constexpr uint32_t kPacketSize = kPacketHeader + kPacketData;
constexpr uint32_t kParameterLineSize = 100;

class FrameStreamer {
  public:
    using OptionsSource = std::function<Options()>;

    FrameStreamer(int socket, OptionsSource options);
    ~FrameStreamer();
    FrameStreamer(const FrameStreamer&) = delete;
    FrameStreamer& operator=(const FrameStreamer&) = delete;

    void Start(const sockaddr_in& destination);
    void Stop();
    bool Streaming() const { return running_; }
    uint32_t FramesSent() const { return framesSent_; }
    uint64_t PacketsSent() const { return packetsSent_; }
    // Frames sent with every packet (no packet lost by a fault).
    uint32_t WholeFramesSent() const { return wholeFramesSent_; }

  private:
    void Run(sockaddr_in destination);
    // Lays out the frame image and parameter line for frame n; returns the packet count.
    uint32_t ComposeFrame(const Options& o, uint32_t n);
    // False when a fault lost a packet of the frame.
    bool SendFrame(const Options& o, const sockaddr_in& to, uint16_t blockId, uint32_t packets,
                   bool faulty, uint32_t n);
    // The packet order of one frame after the faults.
    void PlanPackets(const Options& o, uint32_t packets, bool faulty);

    int socket_;
    OptionsSource options_;
    std::unique_ptr<ThermalScene> scene_;
    std::vector<uint16_t> pixels_;
    std::vector<uint8_t> frame_;  // packet data of one frame, packet k at k * 1280
    std::vector<uint32_t> order_;
    std::atomic<bool> running_{false};
    std::atomic<uint32_t> framesSent_{0};
    std::atomic<uint64_t> packetsSent_{0};
    std::atomic<uint32_t> wholeFramesSent_{0};
    std::mt19937 random_;
    bool lostPacket_ = false;
    std::thread thread_;
};

}  // namespace camsim
