// Reassembles stream packets into eight frame slots and hands complete frames over through a
// 16-bit ready mask. By default packets must arrive in sequence: one lost, repeated or reordered
// packet drops its frame. In any-order mode a frame is the run of packets sharing a block id and
// each packet sets its received flag, so a frame whose packets all arrive is completed. The receive
// thread fills a slot without a lock; moving on to the next slot and copying the newest one out
// take the slot lock, so a slot is never rewritten while the application copies it.
#pragma once

#include <zelir/zelir.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>

#include "gige/wire_format.h"

namespace zelir::gige {

// What happened to the stream since the receive thread started (application thread reads).
// The packet counters are kept in any-order mode only: in sequence, a frame is dropped at its
// first packet out of place, whatever the cause.
struct StreamCounters {
    uint64_t framesCompleted = 0;  // every packet arrived (repeated block ids included)
    uint64_t framesDroppedIncomplete = 0;
    uint64_t packetsOutOfOrder = 0;  // arrived after a packet with a higher id of its frame
    uint64_t packetsRepeated = 0;    // its frame already had it
};

enum class StreamState { Waiting, Receiving, Lost };

// Where FetchNewestFrame copies a frame: the stream's frame record.
struct FrameDestination {
    std::span<uint8_t> data;
    uint32_t* imageBytes;
    uint32_t* pixelKind;  // 0: 16-bit values, 1: 8-bit values
    uint32_t* bytesPerPixel;
};

class FrameAssembler {
  public:
    static constexpr int kSlotCount = 8;
    static constexpr uint32_t P = kPacketDataSize;

    FrameAssembler(uint32_t width, uint32_t height);

    // Receive thread: called when a receive thread starts, then once per stream packet
    // (the UDP payload).
    void Restart();
    void HandlePacket(std::span<const uint8_t> payload);
    // Any thread: packets in any order (true) or in sequence only; taken at the next packet,
    // which starts over with the frame after it.
    void SetAnyOrder(bool anyOrder) { anyOrder_.store(anyOrder, std::memory_order_relaxed); }

    // Application thread: copies the newest complete frame; 1 when copied, 0 otherwise (also
    // when it does not fit the destination).
    int FetchNewestFrame(const FrameDestination& dest) const;
    float GetFrameRate() const { return frameRate_.load(std::memory_order_relaxed); }
    // Delivery by callback is on while function and context are both set.
    void SetFrameCallback(ZelIrFrameCallback function, void* context);
    // Callback delivery publishes the first 64 bytes of each valid parameter line; the
    // application thread takes the newest one it has not seen (false when there is none).
    static constexpr size_t kPublishedLineBytes = 64;
    bool TakePublishedLine(uint64_t& seen, std::array<uint8_t, kPublishedLineBytes>& line) const;

    uint16_t ReadyMask() const { return readyMask_.load(std::memory_order_acquire); }
    int CurrentSlot() const { return currentSlot_.load(std::memory_order_acquire); }
    uint32_t ExpectedPacketCount() const { return expectedPackets_; }
    uint32_t FrameCount() const { return frameCounter_.load(std::memory_order_relaxed); }
    // First and second window position word, window width, window height.
    std::array<int16_t, 4> EventWords() const;
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    uint32_t SlotCapacity() const { return frame16Bytes_ + P; }

    StreamCounters Counters() const;
    // Lost when no frame was published for `lostAfter` (counted from the receive thread's
    // start while none has come yet); Waiting before the first frame.
    StreamState State(std::chrono::nanoseconds lostAfter) const;

  private:
    struct Slot {
        std::unique_ptr<uint8_t[]> data;
        uint32_t length = 0;
        uint32_t eightBit = 0;
    };

    struct Window {
        uint16_t width, height;
    };
    // The window a parameter line announces, when the slot can hold it.
    std::optional<Window> WindowOf(const uint8_t* line) const;
    void TakeInSequence(const StreamPacketHeader& h, uint32_t k, std::span<const uint8_t> data);
    void TakeAnyOrder(const StreamPacketHeader& h, uint32_t k, std::span<const uint8_t> data);
    // Packet 0 sets the frame's pixel format and length in the current slot.
    void StartSlot(const StreamPacketHeader& h);
    void DropInSequence(uint32_t blockId);
    void ForgetFrame();
    // Starts assembling block `blockId` in the current slot, dropping an unfinished frame.
    void BeginFrame(uint32_t blockId);
    // Sets packet k's received flag; false when the frame already had it.
    bool MarkReceived(uint32_t k);
    bool AllReceived() const;
    void CompleteFrame(uint32_t blockId, const uint8_t* line);
    void MeasureRate();
    void Deliver(Slot& slot, const uint8_t* line);

    // Geometry, fixed at construction.
    const uint32_t width_, height_;
    const uint32_t frame16Bytes_, frame8Bytes_;
    const uint32_t packets16_, packets8_;

    std::array<Slot, kSlotCount> slots_;
    std::atomic<int> currentSlot_{0};
    std::atomic<uint16_t> readyMask_{0};
    std::atomic<uint32_t> expectedPackets_;
    std::atomic<bool> anyOrder_{false};
    bool anyOrderInUse_ = false;
    // In sequence: the next packet id, and whether the frame is open (packet 0 seen, no packet
    // out of place since) or broken (waiting for the next packet 0).
    uint16_t nextExpectedId_ = 0;
    bool frameOpen_ = false;
    bool frameBroken_ = true;
    uint32_t openBlockId_ = 0;
    std::optional<uint32_t> droppedBlockId_;
    // Any order: the frame being assembled, its block id, received flags and progress.
    enum class Assembly { Idle, Assembling, Completed };
    Assembly assembly_ = Assembly::Idle;
    uint32_t blockId_ = 0;
    std::optional<uint32_t> previousBlockId_;
    bool previousCompleted_ = false;
    std::unique_ptr<uint64_t[]> received_;
    uint32_t receivedCount_ = 0;
    uint32_t highestId_ = 0;
    bool packet0Seen_ = false;
    uint32_t lastBlockId_ = 0;
    struct AtomicCounters {
        std::atomic<uint64_t> framesCompleted{0}, framesDroppedIncomplete{0}, packetsOutOfOrder{0},
            packetsRepeated{0};
    } counters_;
    std::atomic<int64_t> startNs_;
    std::atomic<int64_t> lastPublishNs_{0};
    std::atomic<int16_t> eventWords_[4] = {};

    // Frame rate: counters of the monotonic clock in nanoseconds.
    std::atomic<uint32_t> frameCounter_{0};
    uint32_t framesAtLastMeasurement_ = 0;
    int64_t lastCounter_;
    std::atomic<float> frameRate_{0.0f};

    std::atomic<ZelIrFrameCallback> callback_{nullptr};
    std::atomic<void*> callbackContext_{nullptr};

    mutable std::mutex slotLock_;
    mutable std::mutex lineLock_;
    std::array<uint8_t, kPublishedLineBytes> publishedLine_{};
    uint64_t publishedSequence_ = 0;
};

}  // namespace zelir::gige
