// Payloads larger than one framed message: acknowledged block transfers (arrays), flash
// programming with progress polling, and the unacknowledged bad-point list and buffer
// transfers. All run on the calling thread and report progress through the stream's progress
// callback.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>

#include "gige/command_message.h"
#include "gige/control_channel.h"

class CStreamBase;

namespace zelir::gige {

inline constexpr uint16_t kProgressQueryId = 1926;
inline constexpr uint16_t kProgramFlashId = 1927;
inline constexpr uint16_t kBlockTransferId = 1929;
inline constexpr uint16_t kBadPointListId = 1984;

inline constexpr uint32_t kArrayBlockBytes = 512;
inline constexpr uint32_t kBlockTimeoutMs = 2000;
// Block offsets travel in 24 bits: larger payloads are refused.
inline constexpr uint32_t kMaxTransferBytes = 0xFFFFFF;

// Transfer phases, in bits 6..7 of the transfer word's low byte.
inline constexpr uint8_t kPhaseData = 0;
inline constexpr uint8_t kPhaseStart = 1;
inline constexpr uint8_t kPhaseEnd = 2;

// Low byte: type OR phase x 64; bits 8..31: byte offset of the block.
inline uint32_t TransferWord(uint32_t type, uint8_t phase, uint32_t offset) {
    return ((type | uint32_t{phase} << 6) & 0xFF) | offset << 8;
}

struct Progress {
    ZelIrProgressCallback callback = nullptr;
    void* context = nullptr;
    void Report(uint16_t code, uint32_t value) const {
        if (callback != nullptr) callback(code, value, context);
    }
};

// One block as an acknowledged device command: 0, or 0xFFFE when it was not acknowledged.
uint16_t TransferBlock(CommandMessage& message, const ControlTarget& target, uint32_t offset,
                       const uint8_t* data, uint32_t n, uint32_t type, uint8_t phase);
// Whole array in 512-byte blocks between a start and an end message; returns the percentage
// of blocks acknowledged (100 when complete, 0 when start or end failed).
uint32_t TransmitArray(CommandMessage& message, const ControlTarget& target, const uint8_t* data,
                       uint32_t size, uint32_t type, const Progress& progress);

struct FlashTiming {
    uint32_t limitMs = 180000;       // polling ends this long after it began
    uint32_t pollIntervalMs = 1000;  // a poll once more than this has passed since the last
    uint32_t exchangeTimeoutMs = 1000;
};
// The program-flash command, then progress polls until the callback sees `target` or the
// time limit passes. 0, or 0xFFFE when the command or the last poll failed.
uint16_t ProgramFlash(CommandMessage& message, const ControlTarget& target, uint32_t value,
                      uint32_t targetProgress, const Progress& progress,
                      const FlashTiming& timing = {});

// Bad points (map value >= 1) of the stream's width x height map, 60 to a message between a
// start and an end marker, 4 ms apart, unacknowledged. Returns the number of points found.
int32_t TransmitBadPoints(CStreamBase& stream, const int16_t* map);

inline constexpr uint32_t kBufferBlockBytes = 496;
inline constexpr uint32_t kBufferSettleMs = 10000;
// Unacknowledged transfer in 496-byte blocks, 4 ms apart, followed by a pause of `settleMs`
// for the camera to store it. 1, or 0 on the first failed send.
int32_t TransmitBuffer(CStreamBase& stream, const uint8_t* data, uint32_t size, uint32_t type,
                       uint32_t settleMs = kBufferSettleMs);

}  // namespace zelir::gige
