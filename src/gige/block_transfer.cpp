// The acknowledged transfers: array blocks and flash programming.
#include "gige/block_transfer.h"

#include <algorithm>
#include <array>
#include <thread>

#include "base/debug_output.h"
#include "base/timer.h"

namespace zelir::gige {
namespace {

std::array<uint8_t, 8> TransferSize(uint32_t size, uint32_t blocks) {
    return {static_cast<uint8_t>(size),         static_cast<uint8_t>(size >> 8),
            static_cast<uint8_t>(size >> 16),   static_cast<uint8_t>(size >> 24),
            static_cast<uint8_t>(blocks),       static_cast<uint8_t>(blocks >> 8),
            static_cast<uint8_t>(blocks >> 16), static_cast<uint8_t>(blocks >> 24)};
}

std::array<uint8_t, 4> Word(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

// Sends the message last built as an acknowledged device command.
uint16_t ExchangeBuilt(const CommandMessage& message, const ControlTarget& target,
                       uint32_t timeoutMs) {
    if (message.GetMessageLength() == 0 || target.channel == nullptr) return kTransactFailed;
    const uint32_t length = BuildDeviceCommand(target.channel->Control(), message.GetMessage(),
                                               message.GetMessageLength(), true);
    if (length == 0) return kTransactFailed;
    return Transact(*target.channel, target.camera.mac, target.camera.address, length, nullptr,
                    timeoutMs);
}

}  // namespace

uint16_t TransferBlock(CommandMessage& message, const ControlTarget& target, uint32_t offset,
                       const uint8_t* data, uint32_t n, uint32_t type, uint8_t phase) {
    if (message.BuildMessageWithParam(kBlockTransferId, 1, data, n,
                                      TransferWord(type, phase, offset)) != 0)
        return kTransactFailed;
    return ExchangeBuilt(message, target, kBlockTimeoutMs);
}

uint32_t TransmitArray(CommandMessage& message, const ControlTarget& target, const uint8_t* data,
                       uint32_t size, uint32_t type, const Progress& progress) {
    if (size > kMaxTransferBytes || (data == nullptr && size > 0)) return 0;
    const uint32_t full = size == 0 ? 0 : (size - 1) / kArrayBlockBytes;
    const uint32_t fullBytes = full * kArrayBlockBytes;
    const uint32_t rest = size - fullBytes;
    const uint32_t total = full + (rest > 0 ? 1 : 0);
    const uint32_t step = std::max<uint32_t>(full / 100, 1);
    const auto sizes = TransferSize(size, total);

    if (TransferBlock(message, target, 0, sizes.data(), sizes.size(), type, kPhaseStart) != 0)
        return 0;
    uint32_t sent = 0;
    uint32_t lastReported = 0;
    for (uint32_t offset = 0; offset < fullBytes; offset += kArrayBlockBytes) {
        if (TransferBlock(message, target, offset, data + offset, kArrayBlockBytes, type,
                          kPhaseData) != 0)
            return sent * 100 / total;
        ++sent;
        if (sent >= lastReported + step) {
            const uint32_t percent = sent * 100 / total;
            lastReported = sent;
            if (percent < 100) progress.Report(kBlockTransferId, percent);
        }
    }
    if (rest > 0) {
        if (TransferBlock(message, target, fullBytes, data + fullBytes, rest, type, kPhaseData) !=
            0)
            return sent * 100 / total;
        ++sent;
    }
    if (TransferBlock(message, target, size, sizes.data(), sizes.size(), type, kPhaseEnd) != 0)
        return 0;
    odtprintf(L"totally transfered %#010lx==%lu bytes transferred in %ld packets\n",
              static_cast<unsigned long>(size), static_cast<unsigned long>(size),
              static_cast<long>(sent));
    progress.Report(kBlockTransferId, 100);
    return 100;
}

uint16_t ProgramFlash(CommandMessage& message, const ControlTarget& target, uint32_t value,
                      uint32_t targetProgress, const Progress& progress,
                      const FlashTiming& timing) {
    const auto valueBytes = Word(value);
    message.BuildMessage(kProgramFlashId, 1, valueBytes.data(), valueBytes.size());
    uint16_t result = ExchangeBuilt(message, target, timing.exchangeTimeoutMs);
    if (result != 0) {
        odtprintf(L"ProgramFlash command failed\n");
        return result;
    }
    odtprintf(L"ProgramFlash command successful\n");

    const auto query = Word(kProgramFlashId);
    message.BuildMessage(kProgressQueryId, 1, query.data(), query.size());
    Infrared_1_0::CTimer timer;
    timer.Start();
    int64_t lastPoll = 0;
    // The camera is busy programming: poll on time, checking the clock in between.
    for (int64_t now = 0; now < timing.limitMs; now = timer.DurationMilliSeconds()) {
        if (now - lastPoll <= timing.pollIntervalMs) {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(lastPoll + timing.pollIntervalMs + 1 - now));
            continue;
        }
        result = ExchangeBuilt(message, target, timing.exchangeTimeoutMs);
        if (result != 0) {
            odtprintf(L"ProgramFlash acknowledgae failed\n");
        } else {
            const auto reply = std::span<const uint8_t>(target.channel->Control().reply);
            const uint32_t done = uint32_t{reply[8]} | uint32_t{reply[9]} << 8 |
                                  uint32_t{reply[10]} << 16 | uint32_t{reply[11]} << 24;
            if (progress.callback != nullptr) {
                progress.Report(kProgramFlashId, done);
                if (done >= targetProgress) break;
            }
        }
        lastPoll = timer.DurationMilliSeconds();
    }
    return result;
}

}  // namespace zelir::gige
