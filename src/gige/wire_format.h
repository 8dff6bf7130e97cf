// Byte layouts on the wire: the Ethernet/IPv4/UDP frame the channel builds, the queued control
// message, the GVCP command and acknowledgement headers and the stream packet header.
// GVCP and frame headers are big-endian; the camera's parameter line is little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace zelir::gige {

static_assert(std::endian::native == std::endian::little, "the code assumes a little-endian host");

constexpr uint16_t kHostPort = 3955;
constexpr uint16_t kControlPort = 3956;
constexpr uint16_t kStreamPort = 3958;

inline uint16_t GetBe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
inline uint32_t GetBe32(const uint8_t* p) {
    return uint32_t{GetBe16(p)} << 16 | GetBe16(p + 2);
}
inline void PutBe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}
inline void PutBe32(uint8_t* p, uint32_t v) {
    PutBe16(p, static_cast<uint16_t>(v >> 16));
    PutBe16(p + 2, static_cast<uint16_t>(v));
}
inline uint16_t GetLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Ethernet II + IPv4 (no options) + UDP, as built by SendUdp. Multi-byte fields big-endian.
struct __attribute__((packed)) UdpFrameHeader {
    uint8_t destinationMac[6];
    uint8_t sourceMac[6];
    uint8_t etherType[2];
    uint8_t versionAndLength;
    uint8_t typeOfService;
    uint8_t totalLength[2];
    uint8_t identification[2];
    uint8_t flagsAndOffset[2];
    uint8_t timeToLive;
    uint8_t protocol;
    uint8_t headerChecksum[2];
    uint8_t sourceAddress[4];
    uint8_t destinationAddress[4];
    uint8_t sourcePort[2];
    uint8_t destinationPort[2];
    uint8_t udpLength[2];
    uint8_t udpChecksum[2];
};
static_assert(sizeof(UdpFrameHeader) == 42);
static_assert(offsetof(UdpFrameHeader, versionAndLength) == 14);
static_assert(offsetof(UdpFrameHeader, totalLength) == 16);
static_assert(offsetof(UdpFrameHeader, headerChecksum) == 24);
static_assert(offsetof(UdpFrameHeader, sourceAddress) == 26);
static_assert(offsetof(UdpFrameHeader, destinationAddress) == 30);
static_assert(offsetof(UdpFrameHeader, sourcePort) == 34);
static_assert(offsetof(UdpFrameHeader, destinationPort) == 36);
static_assert(offsetof(UdpFrameHeader, udpChecksum) == 40);

constexpr size_t kFrameHeaderSize = sizeof(UdpFrameHeader);
constexpr size_t kSendBufferSize = 1536;
constexpr size_t kMaxUdpPayload = kSendBufferSize - kFrameHeaderSize;  // 1494

// One control reply waiting in the message queue (memory only; addresses in network order,
// ports in host order).
struct __attribute__((packed)) Message {
    uint8_t sourceMac[6];
    uint32_t sourceAddress;
    uint32_t destinationAddress;
    uint16_t sourcePort;
    uint16_t destinationPort;
    uint16_t length;
    uint8_t payload[1536];
};
static_assert(sizeof(Message) == 1556);
static_assert(offsetof(Message, length) == 18);
static_assert(offsetof(Message, payload) == 20);

// GVCP command header (host to camera).
struct __attribute__((packed)) GvcpCommandHeader {
    uint8_t key;  // 0x42
    uint8_t flags;
    uint8_t command[2];
    uint8_t length[2];
    uint8_t requestId[2];
};
static_assert(sizeof(GvcpCommandHeader) == 8);

// GVCP acknowledgement header (camera to host).
struct __attribute__((packed)) GvcpAckHeader {
    uint8_t status[2];
    uint8_t acknowledge[2];
    uint8_t length[2];
    uint8_t ackId[2];
};
static_assert(sizeof(GvcpAckHeader) == 8);

constexpr size_t kGvcpHeaderSize = 8;
constexpr uint8_t kGvcpKey = 0x42;
constexpr uint8_t kFlagAckRequested = 0x01;
constexpr uint8_t kFlagBroadcastAck = 0x10;
constexpr uint16_t kDiscoveryCommand = 0x0002;
constexpr uint16_t kDiscoveryAck = 0x0003;
constexpr uint16_t kReadRegisterCommand = 0x0080;
constexpr uint16_t kReadRegisterAck = 0x0081;
constexpr uint16_t kWriteRegisterCommand = 0x0082;
constexpr uint16_t kWriteRegisterAck = 0x0083;
constexpr uint16_t kDeviceCommand = 0x8000;
constexpr uint16_t kDeviceCommandAck = 0x8001;

// Fields of the discovery acknowledgement that the host reads, counted from the start of the
// acknowledgement (GVCP header included).
namespace discovery_ack {
constexpr size_t kHeight = 12;  // upper half of the device-mode word
constexpr size_t kWidth = 14;   // lower half of the device-mode word
constexpr size_t kMac = 18;
constexpr size_t kAddress = 44;  // current IPv4 address
constexpr size_t kManufacturer = 80;
constexpr size_t kModel = 112;
constexpr size_t kSerial = 224;  // first 8 characters are used
constexpr size_t kSize = 256;
}  // namespace discovery_ack

// Stream packet header (UDP payload from the camera's port 3958), data follows at offset 10.
struct __attribute__((packed)) StreamPacketHeader {
    uint8_t status[2];
    uint8_t blockId[2];
    uint8_t packetFormat;
    uint8_t packetId[3];
    uint8_t dataFormat[2];
};
static_assert(sizeof(StreamPacketHeader) == 10);
static_assert(offsetof(StreamPacketHeader, blockId) == 2);
static_assert(offsetof(StreamPacketHeader, packetId) == 5);
static_assert(offsetof(StreamPacketHeader, dataFormat) == 8);

// Bits of the header's block id (second byte) and packet id (12 bits over the last two bytes)
// that the camera fills; the rest are reserved.
constexpr uint8_t kBlockIdMask = 0x3F;
constexpr uint8_t kPacketIdHighMask = 0x0F;

inline uint32_t StreamBlockId(const StreamPacketHeader& h) {
    return h.blockId[1] & kBlockIdMask;
}
inline uint32_t StreamPacketId(const StreamPacketHeader& h) {
    return (h.packetId[1] & kPacketIdHighMask) * 256u + h.packetId[2];
}

constexpr uint32_t kPacketDataSize = 1280;
constexpr uint16_t kDataFormat8Bit = 0x0108;

}  // namespace zelir::gige
