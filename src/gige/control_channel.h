// GVCP over the packet channel: command builders, the request counter, and the synchronous
// exchanges (send, wait for the matching acknowledgement, one retry).
// The counter and both buffers belong to the channel (one per camera, ControlState); an
// exchange holds the channel's ControlLock(), so exchanges on different cameras run at once.
#pragma once

#include <cstdint>
#include <span>

#include "gige/net_interface.h"

namespace zelir::gige {

constexpr uint32_t kMaxDeviceCommandData = kCommandBufferSize - kGvcpHeaderSize;  // 540
constexpr uint16_t kTransactFailed = 0xFFFE;
constexpr uint32_t kExchangeTimeoutMs = 200;

// A camera as the control channel reaches it.
struct ControlTarget {
    NetInterface* channel;
    CameraEndpoint camera;
};

// What an acknowledgement's status says: success when its high byte is 0; the high bytes
// 0x80 and 0x8F are camera errors; any other value is neither. Transact accepts only
// success; ReceiveReply refuses only camera errors.
enum class ReplyStatus { kSuccess, kCameraError, kOther };
ReplyStatus ClassifyStatus(uint16_t status);

// Builders write into the state's command buffer (taking the next request id) and return the
// packet length. The reply buffer holds the payload of the last message taken;
// acknowledgement data start at offset 8.
uint32_t BuildDiscovery(ControlState& state);
uint32_t BuildReadRegister(ControlState& state, uint32_t address);
uint32_t BuildWriteRegister(ControlState& state, uint32_t address, uint32_t value);
// 0, and nothing built, when data is null or longer than 540 bytes.
uint32_t BuildDeviceCommand(ControlState& state, const uint8_t* data, uint32_t n, bool wantAck);
// General form into the caller's destination: data holds host-order 32-bit address (and
// value) for the register commands, raw bytes for a device command. 0 when the packet does
// not fit the destination or the data is too short for the command.
uint32_t BuildCommand(ControlState& state, const uint8_t* data, uint32_t dataLength, uint16_t code,
                      std::span<uint8_t> destination);

// Sends the channel's command buffer; 0 when acknowledged with a good status, 0xFFFE after two
// failed attempts. Each attempt waits until its own deadline (time-out ms after the send):
// stale replies are skipped without shortening it. The acknowledgement stays in the reply
// buffer.
uint16_t Transact(NetInterface& channel, const MacAddress& mac, uint32_t address, uint32_t length,
                  uint32_t* dataLength, uint32_t timeoutMs);
// Waits, until 200 ms from the call, for one acknowledgement of the current request id without
// sending. Copies at most destination.size() bytes of its data; length receives the length of
// the data itself.
int ReceiveReply(NetInterface& channel, std::span<uint8_t> destination, uint32_t* length,
                 uint16_t* id);

uint16_t ReadRegister(const ControlTarget& target, uint32_t address, uint32_t* value);
uint16_t WriteRegister(const ControlTarget& target, uint32_t address, uint32_t value);
uint16_t DeviceCommand(const ControlTarget& target, const uint8_t* data, uint32_t n, bool wantAck,
                       std::span<uint8_t> reply, uint32_t* replyLength);
bool SendDeviceCommand(const ControlTarget& target, const uint8_t* data, uint32_t n);
int CheckAck(std::span<const uint8_t> ack, uint16_t expectedCode, uint16_t expectedId);

}  // namespace zelir::gige
