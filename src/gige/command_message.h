// The camera's own framed messages, carried as the data of GVCP device commands:
//   55 AA 10 | length (n + 5) | flag | data length n | command id | n data bytes | checksum
// 16-bit fields little-endian; the checksum is the byte sum of offsets 3 .. 9 + n.
// Each stream owns one CommandMessage; only descriptor 0 is used, and every build overwrites
// its send buffer, so a message is sent before the next one is built.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace zelir::gige {

inline constexpr uint16_t kMessageHeaderSize = 10;
inline constexpr uint16_t kMessageChecksumSize = 2;
inline constexpr uint16_t kMessageOverhead = kMessageHeaderSize + kMessageChecksumSize;
// The parameter of a block-transfer message sits between header and data.
inline constexpr uint16_t kMessageParameterSize = 4;

inline constexpr uint32_t kSendBufferBytes = 1024;
inline constexpr uint32_t kReceiveBufferBytes = 8192;
inline constexpr uint32_t kDataBufferBytes = 1024;
// Unread bytes move to the front of the receive buffer once writing reaches this index.
inline constexpr uint32_t kReceiveCompactAt = 6144;

inline constexpr int kDescriptorSlots = 2;

// Results of ParseMessage.
inline constexpr uint16_t kParseOk = 0;
inline constexpr uint16_t kParseBadChecksum = 0x8003;
inline constexpr uint16_t kParseIncomplete = 0x8006;
inline constexpr uint16_t kParseNoPrefix = 0x8007;

struct MessageDescriptor {
    std::unique_ptr<uint8_t[]> send;     // kSendBufferBytes, starts with the prefix
    std::unique_ptr<uint8_t[]> receive;  // kReceiveBufferBytes
    std::unique_ptr<uint8_t[]> data;     // kDataBufferBytes: data of the last parsed message
    uint16_t index = 0;
    uint16_t messageLength = 0;  // bytes of the frame last built in the send buffer
    uint16_t receiveFree = 0;
    uint16_t receiveWrite = 0;
    uint16_t receiveRead = 0;
};

class CommandMessage {
  public:
    CommandMessage();
    ~CommandMessage();
    CommandMessage(const CommandMessage&) = delete;
    CommandMessage& operator=(const CommandMessage&) = delete;

    MessageDescriptor* AllocDescriptor(uint16_t index);
    int FreeDescriptor(uint16_t index);
    MessageDescriptor* Descriptor(uint16_t index) const;
    uint16_t DescriptorsInUse() const { return inUse_; }

    // Frames n data bytes into descriptor 0's send buffer. 0; -1 (nothing built, message
    // length 0) when there is no descriptor or the frame would not fit the send buffer.
    int BuildMessage(uint16_t id, uint8_t flag, const uint8_t* data, uint32_t n);
    // As BuildMessage with a 32-bit parameter in front of the data: n + 16 bytes.
    int BuildMessageWithParam(uint16_t id, uint8_t flag, const uint8_t* data, uint32_t n,
                              uint32_t parameter);
    // Completes a frame whose n data bytes the caller already wrote at offset 10.
    int BuildHeader(uint16_t id, uint8_t flag, uint32_t n);

    uint8_t* GetMessage() const;
    uint16_t GetMessageLength() const;
    static uint16_t GetHeaderSize() { return kMessageHeaderSize; }
    static uint16_t GetChecksumSize() { return kMessageChecksumSize; }
    uint16_t Overhead() const { return overhead_; }

    // Receiving side: bytes queued into a descriptor and parsed into its data buffer.
    static uint16_t BytesAvailable(const MessageDescriptor& d) {
        return static_cast<uint16_t>(d.receiveWrite - d.receiveRead);
    }
    // 0; -1 when bytes had to be dropped because the receive buffer was full of unread ones.
    int AppendReceived(MessageDescriptor& d, const uint8_t* source, uint32_t offset,
                       uint32_t count);
    uint16_t ParseMessage(MessageDescriptor& d);
    // How long the parser waits (twice) for more bytes after skipping a stray last byte.

  private:
    // Writes length, flag, data length and id, then the checksum over offsets 3 .. 9 + n.
    static void FinishFrame(std::span<uint8_t> frame, uint16_t id, uint8_t flag, uint32_t n);
    static void Compact(MessageDescriptor& d);

    uint16_t overhead_ = kMessageOverhead;
    uint16_t inUse_ = 0;
    MessageDescriptor* slots_[kDescriptorSlots] = {nullptr, nullptr};
    uint8_t prefix_[3] = {0x55, 0xAA, 0x10};
};

}  // namespace zelir::gige
