// Camera settings over framed messages: a query is the setting's id with flag 0 and value 0,
// answered by the camera with the current value first; a write (flag 1) is confirmed by
// reading the value back, at most four times, 50 ms apart.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "base/status.h"
#include "stream/stream_base.h"

namespace zelir::gige {

struct Setting {
    uint16_t id;
    const wchar_t* name;  // fills "send read %ls failed\n" and its two siblings
    uint32_t replyBytes;  // reply buffer of the query
};

inline constexpr Setting kFrameFrequency{1868, L"frame frequency", 16};
inline constexpr Setting kExposureTime{1826, L"exposure time", 16};
inline constexpr Setting kExposureMode{1799, L"exposure mode", 32};
inline constexpr Setting kGain{1817, L"gain", 32};
inline constexpr Setting kPixelFormat{1893, L"pixel format", 32};
inline constexpr Setting kFlipDir{1845, L"flip dir", 32};
inline constexpr Setting kTriggerMode{1818, L"trigger mode", 16};
inline constexpr Setting kTriggerSource{1818, L"trigger source", 16};
inline constexpr Setting kSoftTrigger{1818, L"soft trigger", 16};

inline constexpr uint32_t kReadBackPauseMs = 50;
inline constexpr int kReadBackTries = 4;
inline constexpr uint32_t kSettingReplyMax = 32;

// Trigger control word (id 1818): bit 0 mode, bit 1 soft trigger pulse, bit 2 source.
inline constexpr uint32_t kTriggerModeBit = 1;
inline constexpr uint32_t kSoftTriggerBit = 2;
inline constexpr uint32_t kTriggerSourceBit = 4;

// The last trigger control word seen, shared by every camera of the process; never cleared.
// Guarded: read and written as a whole.
struct TriggerCache {
    bool valid = false;
    uint32_t word = 0;
};
TriggerCache LoadTriggerCache();
void StoreTriggerCache(TriggerCache cache);

// Results: kOk; kUnsupported for a source without commands (a file) or a setting the camera's
// state ignores; kInvalidArgument when nothing could be built; kIoError when the send failed;
// kTimeout without an answer; kBadData for an answer of the wrong length; kCameraError when the
// camera kept another value than the one written.

// Builds a framed message into the stream's command message and sends it unacknowledged.
Status SendFramed(CStreamBase& stream, uint16_t id, uint8_t flag, const uint8_t* data, uint32_t n);
Status SendWord(CStreamBase& stream, uint16_t id, uint8_t flag, uint32_t value);
// Sends whatever the stream's command message holds (built before).
Status SendBuilt(CStreamBase& stream);
// The camera's answer: `length` holds the capacity of `destination` on entry and the
// reply's own length on return.
Status ReceiveAnswer(CStreamBase& stream, uint8_t* destination, uint32_t* length, uint16_t* id);

// Query with the setting's reply buffer; prints the setting's message on failure.
Status QuerySetting(CStreamBase& stream, const Setting& setting,
                    std::span<uint8_t, kSettingReplyMax> reply, uint32_t& length);
// The write (flag 1) of four value bytes; prints the write message on failure.
Status WriteSetting(CStreamBase& stream, const Setting& setting, uint32_t valueBits);
// Read-back loop after a write: kOk as soon as `matches` accepts the reply, kCameraError after
// four mismatches, or the first failed query's result. `onMismatch` (may be empty) sees try and
// reply.
using ReplyCheck = std::function<bool(std::span<const uint8_t> reply)>;
using MismatchReport = std::function<void(int tryCount, std::span<const uint8_t> reply)>;
Status ReadBack(CStreamBase& stream, const Setting& setting, const ReplyCheck& matches,
                const MismatchReport& onMismatch = {});

// Whole setters and getters.
Status SetWordSetting(CStreamBase& stream, const Setting& setting, uint32_t value);
Status SetFrameFrequency(CStreamBase& stream, float value);
// Three values of 4 bytes each (frame frequency, exposure time); kBadData on any other length.
Status GetTripleSetting(CStreamBase& stream, const Setting& setting, void* out);
Status GetRawSetting(CStreamBase& stream, const Setting& setting, void* out, int32_t* length);
// Trigger word getters: out gets {bit, 0, 1}.
Status GetTriggerBit(CStreamBase& stream, const Setting& setting, uint32_t bit, uint32_t* out,
                     uint32_t* length);
Status SetTriggerBit(CStreamBase& stream, const Setting& setting, uint32_t bit, uint32_t value);
Status SetSoftTrigger(CStreamBase& stream);

uint32_t FirstWord(std::span<const uint8_t> reply);

}  // namespace zelir::gige
