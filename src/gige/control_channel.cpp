#include "gige/control_channel.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <mutex>

#include "base/debug_output.h"

namespace zelir::gige {
namespace {

using Clock = std::chrono::steady_clock;

// Acknowledgement status high bytes that report a camera error.
constexpr uint8_t kStatusCameraError = 0x80;
constexpr uint8_t kStatusCameraBusy = 0x8F;

int64_t MicrosecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    return std::max<int64_t>(0, left.count());
}

int64_t MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

uint16_t NextRequestId(ControlState& state) {
    uint16_t& counter = state.requestCounter;
    counter = static_cast<uint16_t>(counter + 1);
    if (counter == 0) counter = 1;  // 0 is never sent
    return counter;
}

void WriteHeader(ControlState& state, std::span<uint8_t> packet, uint8_t flags, uint16_t command,
                 uint16_t length) {
    auto& h = *reinterpret_cast<GvcpCommandHeader*>(packet.data());
    h.key = kGvcpKey;
    h.flags = flags;
    PutBe16(h.command, command);
    PutBe16(h.length, length);
    PutBe16(h.requestId, NextRequestId(state));
}

uint32_t HostWord(const uint8_t* data, size_t index) {
    uint32_t v = 0;
    std::memcpy(&v, data + index * 4, 4);
    return v;
}

struct AckFields {
    uint16_t status, code, length, id;
};

AckFields ReadAck(std::span<const uint8_t> ack) {
    const auto& h = *reinterpret_cast<const GvcpAckHeader*>(ack.data());
    return {GetBe16(h.status), GetBe16(h.acknowledge), GetBe16(h.length), GetBe16(h.ackId)};
}

// Acknowledgement data available in the reply buffer, as much as the length field claims.
size_t ReplyDataBytes(size_t claimed) {
    return std::min(claimed, kReplyBufferSize - kGvcpHeaderSize);
}

}  // namespace

ReplyStatus ClassifyStatus(uint16_t status) {
    const uint8_t high = static_cast<uint8_t>(status >> 8);
    if (high == 0) return ReplyStatus::kSuccess;
    if (high == kStatusCameraError || high == kStatusCameraBusy) return ReplyStatus::kCameraError;
    return ReplyStatus::kOther;
}

uint32_t BuildDiscovery(ControlState& state) {
    WriteHeader(state, state.cmd, kFlagAckRequested | kFlagBroadcastAck, kDiscoveryCommand, 0);
    return 8;
}

uint32_t BuildReadRegister(ControlState& state, uint32_t address) {
    auto& cmd = state.cmd;
    WriteHeader(state, cmd, kFlagAckRequested, kReadRegisterCommand, 4);
    PutBe32(&cmd[8], address);
    return 12;
}

uint32_t BuildWriteRegister(ControlState& state, uint32_t address, uint32_t value) {
    auto& cmd = state.cmd;
    WriteHeader(state, cmd, kFlagAckRequested, kWriteRegisterCommand, 8);
    PutBe32(&cmd[8], address);
    PutBe32(&cmd[12], value);
    return 16;
}

uint32_t BuildDeviceCommand(ControlState& state, const uint8_t* data, uint32_t n, bool wantAck) {
    if (data == nullptr || n > kMaxDeviceCommandData) return 0;
    auto& cmd = state.cmd;
    WriteHeader(state, cmd, wantAck ? kFlagAckRequested : 0, kDeviceCommand,
                static_cast<uint16_t>(n));
    std::memcpy(&cmd[8], data, n);
    return n + 8;
}

uint32_t BuildCommand(ControlState& state, const uint8_t* data, uint32_t dataLength, uint16_t code,
                      std::span<uint8_t> destination) {
    const size_t total = size_t{dataLength} + kGvcpHeaderSize;
    const uint32_t words = code == kReadRegisterCommand ? 1 : code == kWriteRegisterCommand ? 2 : 0;
    if (total > destination.size() || (words * 4 > dataLength) ||
        (data == nullptr && dataLength > 0 && code != kDiscoveryCommand)) {
        return 0;
    }
    switch (code) {
        case kDiscoveryCommand:
            WriteHeader(state, destination, kFlagAckRequested | kFlagBroadcastAck, code, 0);
            break;
        case kReadRegisterCommand:
            WriteHeader(state, destination, kFlagAckRequested, code, 4);
            PutBe32(&destination[8], HostWord(data, 0));
            break;
        case kWriteRegisterCommand:
            WriteHeader(state, destination, kFlagAckRequested, code, 8);
            PutBe32(&destination[8], HostWord(data, 0));
            PutBe32(&destination[12], HostWord(data, 1));
            break;
        case kDeviceCommand:
            WriteHeader(state, destination, 0, code, static_cast<uint16_t>(dataLength));
            if (dataLength > 0) std::memcpy(&destination[8], data, dataLength);
            break;
        default:
            std::fill_n(destination.begin(), total, 0);
            break;
    }
    return static_cast<uint32_t>(total);
}

uint16_t Transact(NetInterface& channel, const MacAddress& mac, uint32_t address, uint32_t length,
                  uint32_t* dataLength, uint32_t timeoutMs) {
    std::lock_guard<std::recursive_mutex> exchange(channel.ControlLock());
    ControlState& s = channel.Control();
    const auto packet =
        std::span<const uint8_t>(s.cmd).first(std::min<size_t>(length, s.cmd.size()));
    for (int attempt = 1; attempt <= 2; ++attempt) {
        if (channel.SendUdp(packet, mac, address) != 0) {
            odtprintf(L"Error:Failed to send command\n");
            continue;
        }
        if ((s.cmd[1] & kFlagAckRequested) == 0) return 0;  // nothing is awaited

        const auto start = Clock::now();
        const auto deadline = start + std::chrono::milliseconds(timeoutMs);
        while (true) {
            if (channel.WaitMessage(s.reply.data(), kReplyBufferSize, nullptr, nullptr, nullptr,
                                    MicrosecondsUntil(deadline)) != 0) {
                odtprintf(L"Error:Failed to receive acknowledge,time elapsed %ld ms\n",
                          static_cast<long>(MillisecondsSince(start)));
                break;
            }
            const AckFields ack = ReadAck(s.reply);
            if (ack.id != s.requestCounter) {
                // A late reply to an earlier command: skip it and keep waiting.
                odtprintf(L"Warning:Unexpected ackID %#06x with reqID %#06x\n", ack.id,
                          s.requestCounter);
            } else if (ClassifyStatus(ack.status) == ReplyStatus::kSuccess) {
                if (dataLength != nullptr) *dataLength = ack.length;
                return 0;
            } else {
                odtprintf(L"Error:Acknowledge with reqID %u get status %#06x\n", ack.id,
                          ack.status);
                break;
            }
            if (Clock::now() >= deadline) break;
        }
    }
    return kTransactFailed;
}

int ReceiveReply(NetInterface& channel, std::span<uint8_t> destination, uint32_t* length,
                 uint16_t* id) {
    std::lock_guard<std::recursive_mutex> exchange(channel.ControlLock());
    ControlState& s = channel.Control();
    const auto deadline = Clock::now() + std::chrono::milliseconds(kExchangeTimeoutMs);
    do {
        if (channel.WaitMessage(s.reply.data(), kReplyBufferSize, nullptr, nullptr, nullptr,
                                MicrosecondsUntil(deadline)) != 0) {
            odtprintf(L"Error:Failed to receive acknowledge\n");
            return 0;
        }
        const AckFields ack = ReadAck(s.reply);
        if (ack.id != s.requestCounter) {
            odtprintf(L"Warning:Unexpected ackID %#06x with reqID %#06x\n", ack.id,
                      s.requestCounter);
            continue;
        }
        if (ClassifyStatus(ack.status) == ReplyStatus::kCameraError) {
            odtprintf(L"Error:Acknowledge with reqID %u get status %#06x\n", ack.id, ack.status);
            return 0;
        }
        // Never past the caller's destination nor past the reply buffer. The length reported
        // is the reply's own, so that a reply cut to the destination shows.
        const size_t replyBytes = ReplyDataBytes(ack.length);
        const size_t copied = std::min(replyBytes, destination.size());
        std::copy_n(s.reply.begin() + kGvcpHeaderSize, copied, destination.begin());
        if (length != nullptr) *length = static_cast<uint32_t>(replyBytes);
        if (id != nullptr) *id = ack.id;
        return 1;
    } while (Clock::now() < deadline);
    return 0;
}

uint16_t ReadRegister(const ControlTarget& target, uint32_t address, uint32_t* value) {
    std::lock_guard<std::recursive_mutex> exchange(target.channel->ControlLock());
    ControlState& state = target.channel->Control();
    const uint32_t length = BuildReadRegister(state, address);
    const uint16_t result = Transact(*target.channel, target.camera.mac, target.camera.address,
                                     length, nullptr, kExchangeTimeoutMs);
    if (result == 0 && value != nullptr) *value = GetBe32(&state.reply[8]);
    return result;
}

uint16_t WriteRegister(const ControlTarget& target, uint32_t address, uint32_t value) {
    std::lock_guard<std::recursive_mutex> exchange(target.channel->ControlLock());
    const uint32_t length = BuildWriteRegister(target.channel->Control(), address, value);
    return Transact(*target.channel, target.camera.mac, target.camera.address, length, nullptr,
                    kExchangeTimeoutMs);
}

uint16_t DeviceCommand(const ControlTarget& target, const uint8_t* data, uint32_t n, bool wantAck,
                       std::span<uint8_t> reply, uint32_t* replyLength) {
    std::lock_guard<std::recursive_mutex> exchange(target.channel->ControlLock());
    ControlState& state = target.channel->Control();
    const uint32_t length = BuildDeviceCommand(state, data, n, wantAck);
    if (length == 0) return kTransactFailed;  // nothing could be built, nothing is sent
    uint32_t ackLength = 0;
    const uint16_t result = Transact(*target.channel, target.camera.mac, target.camera.address,
                                     length, &ackLength, kExchangeTimeoutMs);
    if (result == 0 && wantAck) {
        const size_t count =
            std::min(ReplyDataBytes(ackLength >= 8 ? ackLength - 8 : 0), reply.size());
        std::copy_n(state.reply.begin() + kGvcpHeaderSize, count, reply.begin());
        if (replyLength != nullptr) *replyLength = static_cast<uint32_t>(count);
    }
    return result;
}

bool SendDeviceCommand(const ControlTarget& target, const uint8_t* data, uint32_t n) {
    if (target.channel == nullptr) return false;
    std::lock_guard<std::recursive_mutex> exchange(target.channel->ControlLock());
    ControlState& state = target.channel->Control();
    const uint32_t length = BuildDeviceCommand(state, data, n, false);
    if (length == 0) return false;
    const auto packet = std::span<const uint8_t>(state.cmd).first(length);
    return target.channel->SendUdp(packet, target.camera.mac, target.camera.address) == 0;
}

int CheckAck(std::span<const uint8_t> ack, uint16_t expectedCode, uint16_t expectedId) {
    if (ack.size() < kGvcpHeaderSize) return 0;
    const AckFields fields = ReadAck(ack);
    if (fields.code == expectedCode) return 1;
    odtprintf(L"ERROR: Except is (0x%4x,%4d), ACK is (0x%4x,%4d)\n", expectedCode, expectedId,
              fields.code, fields.id);
    return 0;
}

}  // namespace zelir::gige
