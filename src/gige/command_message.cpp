#include "gige/command_message.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <thread>

#include "base/debug_output.h"

namespace zelir::gige {
namespace {

void PutLe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// Largest data (parameter included) that still fits the send buffer with header and checksum.
constexpr uint32_t kMaxFrameData = kSendBufferBytes - kMessageOverhead;

}  // namespace

CommandMessage::CommandMessage() {
    AllocDescriptor(0);
}

CommandMessage::~CommandMessage() {
    for (uint16_t i = 0; i < kDescriptorSlots; ++i) {
        if (slots_[i] != nullptr) FreeDescriptor(i);
    }
}

MessageDescriptor* CommandMessage::AllocDescriptor(uint16_t index) {
    if (inUse_ >= kDescriptorSlots) {
        odtprintf(L"descriptors all be occupied\n");
        return nullptr;
    }
    if (index >= kDescriptorSlots) return nullptr;  // no such slot: refuse, never write past
    if (slots_[index] != nullptr) {
        odtprintf(L"descriptor has been used\n");
        return nullptr;
    }
    std::unique_ptr<MessageDescriptor> d(new (std::nothrow) MessageDescriptor);
    if (d == nullptr) {
        odtprintf(L"Failed to allocate descriptor_ptr\n");
        return nullptr;
    }
    d->receive.reset(new (std::nothrow) uint8_t[kReceiveBufferBytes]());
    d->data.reset(new (std::nothrow) uint8_t[kDataBufferBytes]());
    d->send.reset(new (std::nothrow) uint8_t[kSendBufferBytes]());
    if (d->receive == nullptr || d->data == nullptr) {
        odtprintf(L"Failed to allocate descriptor_ptr\n");
        return nullptr;
    }
    if (d->send == nullptr) {
        odtprintf(L"Failed to allocate send buffer\n");
        return nullptr;
    }
    d->receiveFree = static_cast<uint16_t>(kReceiveBufferBytes);
    std::memcpy(d->send.get(), prefix_, sizeof prefix_);
    d->messageLength = 0;
    d->index = index;
    slots_[index] = d.release();
    ++inUse_;
    return slots_[index];
}

int CommandMessage::FreeDescriptor(uint16_t index) {
    if (index >= kDescriptorSlots || slots_[index] == nullptr) return 0;
    delete slots_[index];
    slots_[index] = nullptr;
    --inUse_;
    return 0;
}

MessageDescriptor* CommandMessage::Descriptor(uint16_t index) const {
    return index < kDescriptorSlots ? slots_[index] : nullptr;
}

void CommandMessage::FinishFrame(std::span<uint8_t> frame, uint16_t id, uint8_t flag, uint32_t n) {
    PutLe16(&frame[3], n + 5);
    frame[5] = flag;
    PutLe16(&frame[6], n);
    PutLe16(&frame[8], id);
    uint16_t sum = 0;
    for (uint32_t i = 3; i < kMessageHeaderSize + n; ++i)
        sum = static_cast<uint16_t>(sum + frame[i]);
    PutLe16(&frame[kMessageHeaderSize + n], sum);
}

int CommandMessage::BuildMessage(uint16_t id, uint8_t flag, const uint8_t* data, uint32_t n) {
    MessageDescriptor* d = slots_[0];
    if (d == nullptr) return -1;
    if (n > kMaxFrameData || (data == nullptr && n > 0)) {
        d->messageLength = 0;
        return -1;
    }
    const std::span<uint8_t> frame(d->send.get(), kSendBufferBytes);
    if (n > 0) std::memcpy(&frame[kMessageHeaderSize], data, n);
    FinishFrame(frame, id, flag, n);
    d->messageLength = static_cast<uint16_t>(n + kMessageOverhead);
    return 0;
}

int CommandMessage::BuildMessageWithParam(uint16_t id, uint8_t flag, const uint8_t* data,
                                          uint32_t n, uint32_t parameter) {
    MessageDescriptor* d = slots_[0];
    if (d == nullptr) return -1;
    if (n > kMaxFrameData - kMessageParameterSize || (data == nullptr && n > 0)) {
        d->messageLength = 0;
        return -1;
    }
    const std::span<uint8_t> frame(d->send.get(), kSendBufferBytes);
    PutLe16(&frame[kMessageHeaderSize], parameter);
    PutLe16(&frame[kMessageHeaderSize + 2], parameter >> 16);
    if (n > 0) std::memcpy(&frame[kMessageHeaderSize + kMessageParameterSize], data, n);
    FinishFrame(frame, id, flag, n + kMessageParameterSize);
    d->messageLength = static_cast<uint16_t>(n + kMessageOverhead + kMessageParameterSize);
    return 0;
}

int CommandMessage::BuildHeader(uint16_t id, uint8_t flag, uint32_t n) {
    MessageDescriptor* d = slots_[0];
    if (d == nullptr) return -1;
    if (n > kMaxFrameData) {
        d->messageLength = 0;
        return -1;
    }
    FinishFrame({d->send.get(), kSendBufferBytes}, id, flag, n);
    d->messageLength = static_cast<uint16_t>(n + kMessageOverhead);
    return 0;
}

uint8_t* CommandMessage::GetMessage() const {
    return slots_[0] != nullptr ? slots_[0]->send.get() : nullptr;
}

uint16_t CommandMessage::GetMessageLength() const {
    return slots_[0] != nullptr ? slots_[0]->messageLength : 0;
}

void CommandMessage::Compact(MessageDescriptor& d) {
    const uint16_t unread = BytesAvailable(d);
    std::memmove(d.receive.get(), d.receive.get() + d.receiveRead, unread);
    d.receiveWrite = unread;
    d.receiveRead = 0;
}

int CommandMessage::AppendReceived(MessageDescriptor& d, const uint8_t* source, uint32_t offset,
                                   uint32_t count) {
    if (source == nullptr && count > 0) return -1;
    int result = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (d.receiveWrite >= kReceiveBufferBytes) Compact(d);
        if (d.receiveWrite >= kReceiveBufferBytes) {
            result = -1;  // all 8,192 bytes unread: drop the rest rather than overwrite them
            break;
        }
        d.receive[d.receiveWrite++] = source[offset + i];
        --d.receiveFree;
    }
    if (d.receiveWrite >= kReceiveCompactAt) Compact(d);
    return result;
}

// The parse position is local: bytes of a message cut off at the end of the buffer are
// consumed with it and reported as incomplete.
uint16_t CommandMessage::ParseMessage(MessageDescriptor& d) {
    if (BytesAvailable(d) == 0) return kParseIncomplete;
    uint32_t p = 0;
    uint16_t sum = 0;
    uint32_t end = 14;
    uint16_t length = 0;
    uint16_t checksum = 0;
    bool foundPrefix = false;
    bool good = false;

    auto take = [&d]() {
        ++d.receiveFree;
        return d.receive[d.receiveRead++];
    };
    while (BytesAvailable(d) > 0) {
        const uint8_t b = take();
        if (p == 0) {
            sum = 0;
            end = 14;
            checksum = 0;
            foundPrefix = false;
            good = false;
            // Bytes before a prefix are skipped; the buffer holds all there is, so nothing
            // more can arrive by waiting.
            if (b == prefix_[0]) p = 1;
            continue;
        }
        if (p == 1 || p == 2) {
            p = b == prefix_[p] ? p + 1 : 0;
            continue;
        }
        if (p < 10 || p < end) sum = static_cast<uint16_t>(sum + b);
        if (p == 5 && length < 5) {
            p = 0;  // a length below 5 cannot even hold flag, data length and id: drop it
            continue;
        }
        if (p == 3) {
            length = b;
            foundPrefix = true;
        } else if (p == 4) {
            length = static_cast<uint16_t>(length | b << 8);
        } else if (p == 5) {
            end = uint32_t{length} + 5;
        } else if (p >= 10 && p < end) {
            if (p - 10 < kDataBufferBytes) d.data[p - 10] = b;
        } else if (p == end) {
            checksum = b;
        } else if (p == end + 1) {
            checksum = static_cast<uint16_t>(checksum | b << 8);
            good = sum == checksum;
            p = 0;
            continue;
        }
        ++p;
    }
    if (!foundPrefix) {
        odtprintf(L"Failed to find prefix\n");
        return kParseNoPrefix;
    }
    if (p >= 1 && p <= 9) {
        odtprintf(L"Can not get all data of packet\n");
        return kParseIncomplete;
    }
    if (!good) {
        odtprintf(L"Invalid checksum\n");
        return kParseBadChecksum;
    }
    return kParseOk;
}

}  // namespace zelir::gige
