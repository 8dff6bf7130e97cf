// The operations a packet channel needs from the network, in two implementations: packet
// capture (libpcap; needs CAP_NET_RAW) and kernel UDP sockets (any user).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "gige/adapter_table.h"
#include "gige/udp_frame.h"

namespace zelir::gige {

// What the channel needs to know of a discovered camera: where it is.
struct CameraEndpoint {
    MacAddress mac;
    uint32_t address;  // network byte order
};

enum class TransportKind { kCapture, kSocket };
enum class TransportStatus { kOk, kNotPermitted, kFailed };
// What one wait of the receive thread ended with.
enum class ReceiveStatus { kPackets, kIdle, kInterrupted, kError };

// One control reply as a transport hands it over (addresses in network order).
struct ControlReply {
    std::span<const uint8_t> payload;
    uint32_t sourceAddress;
    uint16_t sourcePort;
    uint32_t destinationAddress;
    uint16_t destinationPort;
    MacAddress sourceMac;  // zero where the transport does not see it
};

// Where a transport delivers what it receives.
class ReceiveSink {
  public:
    virtual ~ReceiveSink() = default;
    // A whole captured Ethernet frame, still to be sorted by port.
    virtual void CapturedFrame(std::span<const uint8_t> frame) = 0;
    // The UDP payload of one stream packet.
    virtual void StreamPayload(std::span<const uint8_t> payload) = 0;
    virtual void Reply(const ControlReply& reply) = 0;
};

class PacketTransport {
  public:
    virtual ~PacketTransport() = default;
    virtual TransportKind Kind() const = 0;
    // camera null: discovery. On failure `error` says why.
    virtual TransportStatus Open(const AdapterRecord& adapter, const CameraEndpoint* camera,
                                 std::string& error) = 0;
    // A capture filter expression; transports that need none accept any.
    virtual TransportStatus SetFilter(const char* text) = 0;
    virtual TransportStatus Send(std::span<const uint8_t> payload, const MacAddress& mac,
                                 uint32_t address) = 0;
    // Descriptor that turns readable when a control reply waits, for the exchange to read it
    // on its own thread; -1 when replies come through the receive thread instead.
    virtual int ControlDescriptor() const = 0;
    // Hands every control reply waiting to the sink without blocking.
    virtual void DrainControl(ReceiveSink& sink) = 0;
    // Receive thread: waits for the next packets and hands them over.
    virtual ReceiveStatus Receive(ReceiveSink& sink) = 0;
    // Ends a Receive wait at once (from another thread).
    virtual void Interrupt() = 0;
    // Stream packets received and dropped by the kernel so far.
    virtual TransportStatus Stats(uint32_t& received, uint32_t& dropped) = 0;
};

}  // namespace zelir::gige
