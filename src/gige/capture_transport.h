// Reaching a camera through packet capture (libpcap): frames built here and injected, every
// packet of the camera read from the capture ring. Control replies of an open camera come
// through a connected UDP socket instead, read by the exchange itself, so that no reply waits
// for the ring's read time-out.
#pragma once

#include <pcap/pcap.h>

#include <array>
#include <memory>

#include "gige/packet_transport.h"
#include "gige/udp_socket.h"
#include "gige/wire_format.h"

namespace zelir::gige {

struct PcapCloser {
    void operator()(pcap_t* p) const { pcap_close(p); }
};
using PcapHandle = std::unique_ptr<pcap_t, PcapCloser>;

class CaptureTransport final : public PacketTransport {
  public:
    // A camera favours throughput, discovery latency.
    static constexpr int kCameraBufferBytes = 8'192'000;
    static constexpr int kDiscoveryBufferBytes = 40'960;

    CaptureTransport();
    TransportKind Kind() const override { return TransportKind::kCapture; }
    TransportStatus Open(const AdapterRecord& adapter, const CameraEndpoint* camera,
                         std::string& error) override;
    TransportStatus SetFilter(const char* text) override;
    TransportStatus Send(std::span<const uint8_t> payload, const MacAddress& mac,
                         uint32_t address) override;
    int ControlDescriptor() const override { return control_.Open() ? control_.Get() : -1; }
    void DrainControl(ReceiveSink& sink) override { control_.Drain(sink); }
    ReceiveStatus Receive(ReceiveSink& sink) override;
    void Interrupt() override;
    TransportStatus Stats(uint32_t& received, uint32_t& dropped) override;

  private:
    PcapHandle capture_;
    ControlSocket control_;
    MacAddress ownMac_{};
    uint32_t ownAddress_ = 0;
    std::unique_ptr<std::array<uint8_t, kSendBufferSize>> sendBuffer_;
};

}  // namespace zelir::gige
