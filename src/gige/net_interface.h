// The packet channel to one camera: a transport on one adapter (packet capture or UDP
// sockets), a receive thread that hands stream packets to reassembly, the control-reply queue
// and the frame slots.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>

#include "base/circular_buffer.h"
#include "gige/frame_assembler.h"
#include "gige/packet_transport.h"
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

class NetInterface : private ReceiveSink {
  public:
    static constexpr int32_t kQueueSlots = 512;
    static constexpr int kSuccess = 0;
    static constexpr int kFailure = -1;

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
    // 0 when a message was taken (its payload cut to capacity), -1 on time-out. Replies that a
    // transport lets the exchange read itself are read here, on the waiting thread.
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
    void SetAnyOrder(bool anyOrder) { frames_.SetAnyOrder(anyOrder); }
    const FrameAssembler& Frames() const { return frames_; }

    // One captured frame, as the receive thread handles it (exposed for tests).
    void HandleCapturedPacket(std::span<const uint8_t> frame);

    bool Opened() const { return opened_ != 0; }
    // Empty while closed.
    std::optional<TransportKind> Transport() const;
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
    // Stream packets the transport received and the kernel dropped so far; false when closed.
    bool CaptureStats(uint32_t& received, uint32_t& dropped);

  private:
    void ReceiveLoop();
    void CapturedFrame(std::span<const uint8_t> frame) override { HandleCapturedPacket(frame); }
    void StreamPayload(std::span<const uint8_t> payload) override { frames_.HandlePacket(payload); }
    void Reply(const ControlReply& reply) override;

    uint8_t opened_ = 0;
    uint32_t adapterIndex_;
    std::thread thread_;
    std::atomic<bool> receiving_{false};
    std::atomic<bool> started_{false};
    std::unique_ptr<PacketTransport> transport_;
    int32_t openAdapter_ = -1;
    std::array<char, 256> filterText_{};
    MacAddress ownMac_{};
    uint32_t ownAddress_ = 0;
    CCircularBuffer messages_;
    FrameAssembler frames_;
    std::atomic<uint32_t> stopRequest_{0};
    ControlState control_;
    std::recursive_mutex controlLock_;
};

}  // namespace zelir::gige
