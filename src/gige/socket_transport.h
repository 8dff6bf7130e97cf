// Reaching a camera through kernel UDP sockets, for processes that may not capture: control
// through a socket connected to the camera's control port, the stream through a socket bound
// to the same local port (the stream goes where the start command came from) and connected to
// the camera's stream port, read in batches with recvmmsg.
#pragma once

#include <sys/socket.h>

#include <array>
#include <atomic>
#include <memory>

#include "gige/packet_transport.h"
#include "gige/udp_socket.h"

namespace zelir::gige {

class SocketTransport final : public PacketTransport {
  public:
    // A whole frame of the largest stream (640 x 512 x 16 bits, 513 packets) with room to spare.
    static constexpr int kStreamBufferBytes = 8'192'000;
    static constexpr unsigned kBatch = 128;
    // Pause after the socket ran empty: at 180 frames/s about 180 packets gather meanwhile.
    static constexpr int kGatherMs = 2;

    SocketTransport();
    TransportKind Kind() const override { return TransportKind::kSocket; }
    TransportStatus Open(const AdapterRecord& adapter, const CameraEndpoint* camera,
                         std::string& error) override;
    TransportStatus SetFilter(const char*) override { return TransportStatus::kOk; }
    TransportStatus Send(std::span<const uint8_t> payload, const MacAddress& mac,
                         uint32_t address) override;
    int ControlDescriptor() const override { return control_.Get(); }
    void DrainControl(ReceiveSink& sink) override { control_.Drain(sink); }
    ReceiveStatus Receive(ReceiveSink& sink) override;
    void Interrupt() override;
    TransportStatus Stats(uint32_t& received, uint32_t& dropped) override;

  private:
    static constexpr size_t kPacketRoom = 2048;

    // recvmmsg's headers and buffers, allocated once.
    struct Batch {
        std::array<std::array<uint8_t, kPacketRoom>, kBatch> packets;
        std::array<iovec, kBatch> vectors;
        std::array<mmsghdr, kBatch> headers;
    };
    void ResetHeaders();

    ControlSocket control_;
    Descriptor stream_;
    Descriptor wake_;  // eventfd: Interrupt makes it readable for good
    std::unique_ptr<Batch> batch_;
    std::atomic<uint32_t> received_{0};
};

}  // namespace zelir::gige
