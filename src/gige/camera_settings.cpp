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

bool SendBuilt(CStreamBase& stream) {
    const CommandMessage* commands = stream.Commands();
    if (commands == nullptr) return false;
    const uint8_t* message = commands->GetMessage();
    const uint16_t length = commands->GetMessageLength();
    // A refused build leaves no message: nothing (and not an empty command) goes out.
    if (message == nullptr || length == 0) return false;
    return stream.SendCommand(message, length);
}

bool SendFramed(CStreamBase& stream, uint16_t id, uint8_t flag, const uint8_t* data, uint32_t n) {
    CommandMessage* commands = stream.Commands();
    if (commands == nullptr || commands->BuildMessage(id, flag, data, n) != 0) return false;
    return SendBuilt(stream);
}

bool SendWord(CStreamBase& stream, uint16_t id, uint8_t flag, uint32_t value) {
    const auto bytes = LittleEndian(value);
    return SendFramed(stream, id, flag, bytes.data(), bytes.size());
}

bool ReceiveAnswer(CStreamBase& stream, uint8_t* destination, uint32_t* length, uint16_t* id) {
    return stream.ReceiveCommand(destination, length, id) != 0;
}

bool QuerySetting(CStreamBase& stream, const Setting& setting,
                  std::span<uint8_t, kSettingReplyMax> reply, uint32_t& length) {
    std::fill(reply.begin(), reply.end(), 0);
    if (!SendWord(stream, setting.id, 0, 0)) {
        odtprintf(L"send read %ls failed\n", setting.name);
        return false;
    }
    const uint32_t capacity = std::min<uint32_t>(setting.replyBytes, kSettingReplyMax);
    length = capacity;
    if (!ReceiveAnswer(stream, reply.data(), &length, nullptr)) {
        odtprintf(L"recv read %ls failed\n", setting.name);
        return false;
    }
    // The settings work on what was copied; the reply may have been longer.
    length = std::min(length, capacity);
    return true;
}

bool WriteSetting(CStreamBase& stream, const Setting& setting, uint32_t valueBits) {
    if (SendWord(stream, setting.id, 1, valueBits)) return true;
    odtprintf(L"send write %ls failed\n", setting.name);
    return false;
}

int32_t ReadBack(CStreamBase& stream, const Setting& setting, const ReplyCheck& matches,
                 const MismatchReport& onMismatch) {
    std::array<uint8_t, kSettingReplyMax> reply{};
    for (int tries = 0;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kReadBackPauseMs));
        uint32_t length = 0;
        if (!QuerySetting(stream, setting, reply, length)) return 0;
        // The whole (zero-filled) buffer: a short reply reads as zeros, never as stale bytes.
        const std::span<const uint8_t> answer(reply.data(), setting.replyBytes);
        if (matches(answer)) return 1;
        ++tries;
        if (onMismatch) onMismatch(tries, answer);
        if (tries >= kReadBackTries) return 0;
    }
}

int32_t SetWordSetting(CStreamBase& stream, const Setting& setting, uint32_t value) {
    if (!WriteSetting(stream, setting, value)) return 0;
    return ReadBack(stream, setting, [value](auto r) { return FirstWord(r) == value; });
}

int32_t SetFrameFrequency(CStreamBase& stream, float value) {
    // The float's four bytes, as they lie in memory (little-endian).
    if (!WriteSetting(stream, kFrameFrequency, std::bit_cast<uint32_t>(value))) return 0;
    return ReadBack(stream, kFrameFrequency,
                    [value](auto r) { return std::fabs(FirstFloat(r) - value) <= 0.5f; });
}

int32_t GetTripleSetting(CStreamBase& stream, const Setting& setting, void* out) {
    if (out == nullptr) return 0;
    std::array<uint8_t, kSettingReplyMax> reply{};
    uint32_t length = 0;
    if (!QuerySetting(stream, setting, reply, length)) return 0;
    if (length != 12) {
        odtprintf(L"received %ls length is wrong\n", setting.name);
        return 0;
    }
    std::memcpy(out, reply.data(), 12);
    return 1;
}

// `out` must have room for kSettingReplyMax bytes: the reply is never longer.
int32_t GetRawSetting(CStreamBase& stream, const Setting& setting, void* out, int32_t* length) {
    std::array<uint8_t, kSettingReplyMax> reply{};
    uint32_t got = 0;
    if (!QuerySetting(stream, setting, reply, got)) return 0;
    if (out != nullptr) std::memcpy(out, reply.data(), got);
    if (length != nullptr) *length = static_cast<int32_t>(got);
    return 1;
}

int32_t GetTriggerBit(CStreamBase& stream, const Setting& setting, uint32_t bit, uint32_t* out,
                      uint32_t* length) {
    std::array<uint8_t, kSettingReplyMax> reply{};
    uint32_t got = 0;
    if (!QuerySetting(stream, setting, reply, got)) return 0;
    const uint32_t word = FirstWord(reply);
    StoreTriggerCache({true, word});
    if (out != nullptr) {
        out[0] = (word & bit) / bit;
        out[1] = 0;
        out[2] = 1;
    }
    if (length != nullptr) *length = 12;
    return 1;
}

int32_t SetTriggerBit(CStreamBase& stream, const Setting& setting, uint32_t bit, uint32_t value) {
    std::array<uint8_t, kSettingReplyMax> reply{};
    uint32_t got = 0;
    if (!QuerySetting(stream, setting, reply, got)) return 0;
    const uint32_t word = (FirstWord(reply) & ~bit) | value * bit;
    if (!WriteSetting(stream, setting, word)) return 0;
    StoreTriggerCache({true, word});
    return ReadBack(stream, setting, [word](auto r) { return FirstWord(r) == word; });
}

int32_t SetSoftTrigger(CStreamBase& stream) {
    const TriggerCache cache = LoadTriggerCache();
    uint32_t word = cache.word;
    uint32_t length = 4;
    if (!cache.valid) {
        std::array<uint8_t, kSettingReplyMax> reply{};
        if (!QuerySetting(stream, kSoftTrigger, reply, length)) return 0;
        word = FirstWord(reply);
    }
    if (length != 4) {
        odtprintf(L"received read soft trigger length is wrong\n");
        return 0;
    }
    // A pulse only means something in trigger mode with the software source.
    if ((word & (kTriggerModeBit | kTriggerSourceBit)) != kTriggerModeBit) {
        odtprintf(L"soft trigger is ignored because value is %u\n", word);
        return 0;
    }
    if (!WriteSetting(stream, kSoftTrigger, word | kSoftTriggerBit)) return 0;
    StoreTriggerCache({true, word});
    // The camera clears the pulse bit itself; the try count starts at 1.
    return ReadBack(
        stream, kSoftTrigger, [word](auto r) { return FirstWord(r) == word; },
        [](int tryCount, std::span<const uint8_t> r) {
            odtprintf(L"soft trigger try %d get %u\n", tryCount, FirstWord(r));
        });
}

}  // namespace zelir::gige
