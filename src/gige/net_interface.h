// The packet channel to one camera: a libpcap capture on one adapter, a receive thread that
// sorts captured packets by source port, the control-reply queue and the frame slots.
#pragma once

#include <pcap/pcap.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "base/circular_buffer.h"
#include "gige/frame_assembler.h"
#include "gige/udp_frame.h"
#include "gige/wire_format.h"

namespace zelir::gige {

// The control exchange state of one channel: request counter, command and reply buffers.
// Exchanges on one channel take its ControlLock(); channels (cameras) never share it.
inline constexpr size_t kCommandBufferSize = 548;
inline constexpr size_t kReplyBufferSize = 582;
struct ControlState {
    uint16_t requestCounter = 0;
    std::array<uint8_t, kCommandBufferSize> cmd{};
    std::array<uint8_t, kReplyBufferSize> reply{};
};

// What the channel needs to know of a discovered camera: where it is.
struct CameraEndpoint {
    MacAddress mac;
    uint32_t address;  // network byte order
};

struct PcapCloser {
    void operator()(pcap_t* p) const { pcap_close(p); }
};
using PcapHandle = std::unique_ptr<pcap_t, PcapCloser>;

class NetInterface {
  public:
    static constexpr int32_t kQueueSlots = 512;
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = -1;
    // Capture settings: a camera channel favours throughput, a discovery channel latency.
    static constexpr int kCameraBufferBytes = 8'192'000;
    static constexpr int kDiscoveryBufferBytes = 40'960;

    NetInterface(uint32_t adapterIndex, uint32_t width, uint32_t height);
    ~NetInterface();
    NetInterface(const NetInterface&) = delete;
    NetInterface& operator=(const NetInterface&) = delete;

    // camera null: discovery (replies from any camera's control port).
    int OpenAdapter(uint32_t adapterIndex, const CameraEndpoint* camera);
    int SetSourceFilter(const MacAddress& mac, int apply);
    void Stop();
    int SendUdp(std::span<const uint8_t> payload, const MacAddress& destinationMac,
                uint32_t destinationAddress);
    // 0 when a message was taken (its payload cut to capacity), -1 on time-out.
    int WaitMessage(uint8_t* destination, uint32_t capacity, uint32_t* sourceAddress,
                    uint16_t* sourcePort, uint8_t* sourceMac, int64_t timeoutMicroseconds,
                    uint32_t* payloadLength = nullptr);
    int FlushMessages();

    // Stream reception.
    int FetchNewestFrame(const FrameDestination& dest) const;
    float GetFrameRate() const { return frames_.GetFrameRate(); }
    void SetFrameCallback(ZelIrFrameCallback function, void* context) {
        frames_.SetFrameCallback(function, context);
    }
    const FrameAssembler& Frames() const { return frames_; }

    // One captured frame, as the receive thread handles it (exposed for tests).
    void HandleCapturedPacket(std::span<const uint8_t> frame);

    bool Opened() const { return opened_ != 0; }
    bool Receiving() const { return receiving_.load(); }
    int32_t OpenAdapterIndex() const { return openAdapter_; }
    uint32_t AdapterIndex() const { return adapterIndex_; }
    const char* FilterText() const { return filterText_.data(); }
    const MacAddress& OwnMac() const { return ownMac_; }
    uint32_t OwnAddress() const { return ownAddress_; }
    CCircularBuffer& MessageQueue() { return messages_; }
    ControlState& Control() { return control_; }
    std::recursive_mutex& ControlLock() { return controlLock_; }
    // CPU time the receive thread has used so far; false when no thread runs.
    bool ReceiveThreadCpuSeconds(double& seconds);
    // Packets the capture received and dropped so far (pcap_stats); false when closed.
    bool CaptureStats(uint32_t& received, uint32_t& dropped);

  private:
    void ReceiveLoop();
    int ApplyFilter(const char* text);

    uint8_t opened_ = 0;
    uint32_t adapterIndex_;
    std::thread thread_;
    std::atomic<bool> receiving_{false};
    std::atomic<bool> started_{false};
    PcapHandle capture_;
    int32_t openAdapter_ = -1;
    std::array<char, 256> filterText_{};
    MacAddress ownMac_{};
    uint32_t ownAddress_ = 0;
    std::unique_ptr<std::array<uint8_t, kSendBufferSize>> sendBuffer_;
    CCircularBuffer messages_;
    Message received_{};  // receive thread's scratch message
    FrameAssembler frames_;
    std::atomic<uint32_t> stopRequest_{0};
    ControlState control_;
    std::recursive_mutex controlLock_;
};

}  // namespace zelir::gige
