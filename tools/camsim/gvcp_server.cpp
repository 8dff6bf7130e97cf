#include "gvcp_server.h"

#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "byte_order.h"

namespace camsim {
namespace {

constexpr uint8_t kKey = 0x42;
constexpr uint16_t kDiscovery = 0x0002;
constexpr uint16_t kReadRegister = 0x0080;
constexpr uint16_t kWriteRegister = 0x0082;
constexpr uint16_t kDeviceCommand = 0x8000;
constexpr uint16_t kStatusNotImplemented = 0x8001;
constexpr uint16_t kStatusInvalidParameter = 0x8002;

void PutText(std::vector<uint8_t>& data, size_t offset, size_t room, const std::string& text) {
    std::memcpy(&data[offset], text.data(), std::min(room - 1, text.size()));
}

}  // namespace

GvcpServer::GvcpServer(int socket, const InterfaceInfo& info, std::function<Options()> options,
                       FrameStreamer& streamer)
    : socket_(socket),
      info_(info),
      options_(std::move(options)),
      streamer_(streamer),
      deviceCommands_(static_cast<float>(options_().rate)) {}

// Discovery acknowledgement data, standard layout: version, device mode, MAC, IP
// configuration, current IP, subnet, gateway, manufacturer, model, version, maker info,
// serial number, user name.
std::vector<uint8_t> DiscoveryAckData(const Options& o, const InterfaceInfo& info) {
    std::vector<uint8_t> d(GvcpServer::kDiscoveryAckData, 0);
    PutBe16(&d[0], 1);  // GigE Vision version 1.2
    PutBe16(&d[2], 2);
    // The device-mode word carries the frame geometry: height high, width low.
    PutBe16(&d[4], o.height);
    PutBe16(&d[6], o.width);
    std::memcpy(&d[10], o.reportMac ? o.mac.data() : info.mac.data(), 6);
    PutBe32(&d[16], 0x80000007);  // IP configurations supported
    PutBe32(&d[20], 0x00000001);  // current: persistent IP
    std::memcpy(&d[36], &info.address, 4);
    std::memcpy(&d[52], &info.netmask, 4);
    PutText(d, 72, 32, o.manufacturer);
    PutText(d, 104, 32, o.model);
    PutText(d, 136, 32, "1.0.0");
    PutText(d, 168, 48, "zelir-camsim");
    PutText(d, 216, 16, o.serial);
    PutText(d, 232, 16, "camsim");
    return d;
}

uint16_t GvcpServer::Answer(uint16_t command, uint8_t flags, std::span<const uint8_t> data,
                            const sockaddr_in& from, std::vector<uint8_t>& reply) {
    reply.clear();
    switch (command) {
        case kDiscovery:
            reply = DiscoveryAckData(options_(), info_);
            return 0;
        case kReadRegister:
            if (data.empty() || data.size() % 4 != 0) return kStatusInvalidParameter;
            for (size_t i = 0; i < data.size(); i += 4) {
                reply.resize(reply.size() + 4);
                PutBe32(&reply[reply.size() - 4], registers_[GetBe32(&data[i])]);
            }
            return 0;
        case kWriteRegister: {
            if (data.empty() || data.size() % 8 != 0) return kStatusInvalidParameter;
            uint16_t written = 0;
            for (size_t i = 0; i < data.size(); i += 8, ++written) {
                const uint32_t reg = GetBe32(&data[i]);
                const uint32_t value = GetBe32(&data[i + 4]);
                registers_[reg] = value;
                if (reg != kStreamRegister) continue;
                if (value == 1) {
                    streamer_.Start(from);  // frames go to whoever started the stream
                } else if (value == 0) {
                    streamer_.Stop();
                }
            }
            reply.assign(4, 0);
            PutBe16(&reply[2], written);
            return 0;
        }
        case kDeviceCommand:
            return deviceCommands_.Handle(data, (flags & 0x01) != 0, options_(), reply);
        default:
            return kStatusNotImplemented;
    }
}

void GvcpServer::HandlePacket(std::span<const uint8_t> packet, const sockaddr_in& from) {
    ++packetsTaken_;
    if (packet.size() < 8 || packet[0] != kKey) return;
    const uint16_t command = GetBe16(&packet[2]);
    const uint16_t length = GetBe16(&packet[4]);
    const uint16_t id = GetBe16(&packet[6]);
    const auto data = packet.subspan(8, std::min<size_t>(length, packet.size() - 8));

    std::vector<uint8_t> reply;
    uint16_t status = Answer(command, packet[1], data, from, reply);
    const Options o = options_();
    if (o.silent) return;
    if (o.errorStatus != 0) {
        status = o.errorStatus;
        reply.clear();
    }
    // Device commands are acknowledged whether or not an acknowledgement was asked for.
    std::vector<uint8_t> ack(8 + reply.size());
    PutBe16(&ack[0], status);
    PutBe16(&ack[2], static_cast<uint16_t>(command + 1));
    PutBe16(&ack[4], static_cast<uint16_t>(reply.size()));
    PutBe16(&ack[6], id);
    std::copy(reply.begin(), reply.end(), ack.begin() + 8);
    if (o.lateMs) std::this_thread::sleep_for(std::chrono::milliseconds(o.lateMs));
    Send(ack, from);
    if (o.answerTwice) Send(ack, from);
}

void GvcpServer::Send(const std::vector<uint8_t>& ack, const sockaddr_in& to) const {
    sendto(socket_, ack.data(), ack.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

}  // namespace camsim
