#include "gige/camera_settings.h"

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>

#include "base/debug_output.h"
#include "gige/command_message.h"

namespace zelir::gige {
namespace {

std::array<uint8_t, 4> LittleEndian(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

float FirstFloat(std::span<const uint8_t> reply) {
    return std::bit_cast<float>(FirstWord(reply));
}

}  // namespace

namespace {

struct GuardedTriggerCache {
    std::mutex mutex;
    TriggerCache cache;
};

GuardedTriggerCache& SharedTriggerCache() {
    static GuardedTriggerCache shared;
    return shared;
}

}  // namespace

TriggerCache LoadTriggerCache() {
    GuardedTriggerCache& shared = SharedTriggerCache();
    std::lock_guard<std::mutex> guard(shared.mutex);
    return shared.cache;
}

void StoreTriggerCache(TriggerCache cache) {
    GuardedTriggerCache& shared = SharedTriggerCache();
    std::lock_guard<std::mutex> guard(shared.mutex);
    shared.cache = cache;
}

uint32_t FirstWord(std::span<const uint8_t> reply) {
    uint32_t v = 0;
    std::memcpy(&v, reply.data(), std::min<size_t>(4, reply.size()));
    return v;
}

Status SendBuilt(CStreamBase& stream) {
    const CommandMessage* commands = stream.Commands();
    if (commands == nullptr) return Status::kUnsupported;
    const uint8_t* message = commands->GetMessage();
    const uint16_t length = commands->GetMessageLength();
    // A refused build leaves no message: nothing (and not an empty command) goes out.
    if (message == nullptr || length == 0) return Status::kInvalidArgument;
    return stream.SendCommand(message, length) ? Status::kOk : Status::kIoError;
}

Status SendFramed(CStreamBase& stream, uint16_t id, uint8_t flag, const uint8_t* data, uint32_t n) {
    CommandMessage* commands = stream.Commands();
    if (commands == nullptr) return Status::kUnsupported;
    if (commands->BuildMessage(id, flag, data, n) != 0) return Status::kInvalidArgument;
    return SendBuilt(stream);
}

Status SendWord(CStreamBase& stream, uint16_t id, uint8_t flag, uint32_t value) {
    const auto bytes = LittleEndian(value);
    return SendFramed(stream, id, flag, bytes.data(), bytes.size());
}

Status ReceiveAnswer(CStreamBase& stream, uint8_t* destination, uint32_t* length, uint16_t* id) {
    return stream.ReceiveCommand(destination, length, id) != 0 ? Status::kOk : Status::kTimeout;
}

Status QuerySetting(CStreamBase& stream, const Setting& setting,
                    std::span<uint8_t, kSettingReplyMax> reply, uint32_t& length) {
    std::fill(reply.begin(), reply.end(), 0);
    if (const Status sent = SendWord(stream, setting.id, 0, 0); sent != Status::kOk) {
        odtprintf(L"send read %ls failed\n", setting.name);
        return sent;
    }
    const uint32_t capacity = std::min<uint32_t>(setting.replyBytes, kSettingReplyMax);
    length = capacity;
    if (const Status received = ReceiveAnswer(stream, reply.data(), &length, nullptr);
        received != Status::kOk) {
        odtprintf(L"recv read %ls failed\n", setting.name);
        return received;
    }
    // The settings work on what was copied; the reply may have been longer.
    length = std::min(length, capacity);
    return Status::kOk;
}

Status WriteSetting(CStreamBase& stream, const Setting& setting, uint32_t valueBits) {
    const Status sent = SendWord(stream, setting.id, 1, valueBits);
    if (sent != Status::kOk) odtprintf(L"send write %ls failed\n", setting.name);
    return sent;
}

Status ReadBack(CStreamBase& stream, const Setting& setting, const ReplyCheck& matches,
                const MismatchReport& onMismatch) {
    std::array<uint8_t, kSettingReplyMax> reply{};
    for (int tries = 0;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kReadBackPauseMs));
        uint32_t length = 0;
        if (const Status queried = QuerySetting(stream, setting, reply, length);
            queried != Status::kOk) {
            return queried;
        }
        // The whole (zero-filled) buffer: a short reply reads as zeros, never as stale bytes.
        const std::span<const uint8_t> answer(reply.data(), setting.replyBytes);
        if (matches(answer)) return Status::kOk;
        ++tries;
        if (onMismatch) onMismatch(tries, answer);
        if (tries >= kReadBackTries) return Status::kCameraError;
    }
}

Status SetWordSetting(CStreamBase& stream, const Setting& setting, uint32_t value) {
    if (const Status written = WriteSetting(stream, setting, value); written != Status::kOk) {
        return written;
    }
    return ReadBack(stream, setting, [value](auto r) { return FirstWord(r) == value; });
}

Status SetFrameFrequency(CStreamBase& stream, float value) {
    // The float's four bytes, as they lie in memory (little-endian).
    if (const Status written =
            WriteSetting(stream, kFrameFrequency, std::bit_cast<uint32_t>(value));
        written != Status::kOk) {
        return written;
    }
    return ReadBack(stream, kFrameFrequency,
                    [value](auto r) { return std::fabs(FirstFloat(r) - value) <= 0.5f; });
}

Status GetTripleSetting(CStreamBase& stream, const Setting& setting, void* out) {
    if (out == nullptr) return Status::kInvalidArgument;
    std::array<uint8_t, kSettingReplyMax> reply{};
    uint32_t length = 0;
    if (const Status queried = QuerySetting(stream, setting, reply, length);
        queried != Status::kOk) {
        return queried;
    }
    if (length != 12) {
        odtprintf(L"received %ls length is wrong\n", setting.name);
        return Status::kBadData;
    }
    std::memcpy(out, reply.data(), 12);
    return Status::kOk;
}

// `out` must have room for kSettingReplyMax bytes: the reply is never longer.
Status GetRawSetting(CStreamBase& stream, const Setting& setting, void* out, int32_t* length) {
    std::array<uint8_t, kSettingReplyMax> reply{};
    uint32_t got = 0;
    if (const Status queried = QuerySetting(stream, setting, reply, got); queried != Status::kOk) {
        return queried;
    }
    if (out != nullptr) std::memcpy(out, reply.data(), got);
    if (length != nullptr) *length = static_cast<int32_t>(got);
    return Status::kOk;
}

Status GetTriggerBit(CStreamBase& stream, const Setting& setting, uint32_t bit, uint32_t* out,
                     uint32_t* length) {
    std::array<uint8_t, kSettingReplyMax> reply{};
    uint32_t got = 0;
    if (const Status queried = QuerySetting(stream, setting, reply, got); queried != Status::kOk) {
        return queried;
    }
    const uint32_t word = FirstWord(reply);
    StoreTriggerCache({true, word});
    if (out != nullptr) {
        out[0] = (word & bit) / bit;
        out[1] = 0;
        out[2] = 1;
    }
    if (length != nullptr) *length = 12;
    return Status::kOk;
}

Status SetTriggerBit(CStreamBase& stream, const Setting& setting, uint32_t bit, uint32_t value) {
    std::array<uint8_t, kSettingReplyMax> reply{};
    uint32_t got = 0;
    if (const Status queried = QuerySetting(stream, setting, reply, got); queried != Status::kOk) {
        return queried;
    }
    const uint32_t word = (FirstWord(reply) & ~bit) | value * bit;
    if (const Status written = WriteSetting(stream, setting, word); written != Status::kOk) {
        return written;
    }
    StoreTriggerCache({true, word});
    return ReadBack(stream, setting, [word](auto r) { return FirstWord(r) == word; });
}

Status SetSoftTrigger(CStreamBase& stream) {
    const TriggerCache cache = LoadTriggerCache();
    uint32_t word = cache.word;
    uint32_t length = 4;
    if (!cache.valid) {
        std::array<uint8_t, kSettingReplyMax> reply{};
        if (const Status queried = QuerySetting(stream, kSoftTrigger, reply, length);
            queried != Status::kOk) {
            return queried;
        }
        word = FirstWord(reply);
    }
    if (length != 4) {
        odtprintf(L"received read soft trigger length is wrong\n");
        return Status::kBadData;
    }
    // A pulse only means something in trigger mode with the software source.
    if ((word & (kTriggerModeBit | kTriggerSourceBit)) != kTriggerModeBit) {
        odtprintf(L"soft trigger is ignored because value is %u\n", word);
        return Status::kUnsupported;
    }
    if (const Status written = WriteSetting(stream, kSoftTrigger, word | kSoftTriggerBit);
        written != Status::kOk) {
        return written;
    }
    StoreTriggerCache({true, word});
    // The camera clears the pulse bit itself; the try count starts at 1.
    return ReadBack(
        stream, kSoftTrigger, [word](auto r) { return FirstWord(r) == word; },
        [](int tryCount, std::span<const uint8_t> r) {
            odtprintf(L"soft trigger try %d get %u\n", tryCount, FirstWord(r));
        });
}

}  // namespace zelir::gige
