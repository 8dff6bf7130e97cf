#include "gige/frame_assembler.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "base/timer.h"
#include "formats/parameter_line.h"

namespace zelir::gige {
namespace {

// Fields of the parameter line that reassembly reads (little-endian).
namespace line_field {
constexpr size_t kWindowFlag = 56;
constexpr size_t kWindowWidth = 58;
constexpr size_t kWindowHeight = 60;
constexpr size_t kWindowPosition1 = 62;
constexpr size_t kWindowPosition2 = 64;
}  // namespace line_field

int64_t CounterNow() {
    return MonotonicNanoseconds();
}
constexpr int64_t kCounterFrequency = 1'000'000'000;

}  // namespace

FrameAssembler::FrameAssembler(uint32_t width, uint32_t height)
    : width_(width),
      height_(height),
      frame16Bytes_(width * height * 2),
      frame8Bytes_(width * height),
      packets16_(frame16Bytes_ / P + 1),
      packets8_(frame8Bytes_ / P + 1),
      expectedPackets_(packets16_),
      lastCounter_(CounterNow()) {
    for (Slot& slot : slots_) slot.data = std::make_unique<uint8_t[]>(SlotCapacity());
}

void FrameAssembler::Restart() {
    nextExpectedId_ = 0;
    frameBroken_ = false;
    currentSlot_.store(0, std::memory_order_release);
}

void FrameAssembler::HandlePacket(std::span<const uint8_t> payload) {
    if (payload.size() < sizeof(StreamPacketHeader)) return;
    const auto& h = *reinterpret_cast<const StreamPacketHeader*>(payload.data());
    const uint32_t blockId = StreamBlockId(h);
    const uint32_t k = StreamPacketId(h);
    Slot& slot = slots_[currentSlot_.load(std::memory_order_relaxed)];

    bool inOrder = true;
    if (k == 0) {
        nextExpectedId_ = 1;
        frameBroken_ = false;
        const bool eightBit = GetBe16(h.dataFormat) == kDataFormat8Bit;
        expectedPackets_.store(eightBit ? packets8_ : packets16_, std::memory_order_relaxed);
        slot.length = eightBit ? frame8Bytes_ : frame16Bytes_;
        slot.eightBit = eightBit ? 1 : 0;
    } else {
        // Counting alone would take a frame back after two swapped packets (the count meets
        // the ids again), publishing it with two packets missing; one packet out of order
        // abandons the frame until the next packet 0 instead.
        if (k != nextExpectedId_) frameBroken_ = true;
        inOrder = !frameBroken_;
        ++nextExpectedId_;
    }
    // A packet beyond the slot's room is never copied; its frame cannot complete after it.
    if (!inOrder || k >= packets16_) return;

    const auto data = payload.subspan(sizeof(StreamPacketHeader));
    uint8_t* target = slot.data.get() + size_t{k} * P;
    std::memcpy(target, data.data(), std::min<size_t>(P, data.size()));
    if (k + 1 == expectedPackets_.load(std::memory_order_relaxed)) CompleteFrame(blockId, target);
}

std::optional<FrameAssembler::Window> FrameAssembler::WindowOf(const uint8_t* line) const {
    if (line[line_field::kWindowFlag] == 0) return std::nullopt;
    const Window window{GetLe16(line + line_field::kWindowWidth),
                        GetLe16(line + line_field::kWindowHeight)};
    // Window fields come from the wire: one rule for the packet count and for what the
    // callback is told, so a window never claims more than the slot's image bytes. A zero
    // width would divide by zero and is no window either.
    if (window.width == 0 || window.width > P || window.height >= packets16_ ||
        uint64_t{window.width} * window.height * 2 > frame16Bytes_) {
        return std::nullopt;
    }
    return window;
}

void FrameAssembler::CompleteFrame(uint32_t blockId, const uint8_t* line) {
    MeasureRate();
    if (blockId == lastBlockId_) return;  // a repeat: the slot is refilled by the next frame
    lastBlockId_ = blockId;

    if (const std::optional<Window> window = WindowOf(line)) {
        // Holds until the next packet 0 sets the count from the data format again.
        expectedPackets_.store(window->height / (P / window->width), std::memory_order_relaxed);
        eventWords_[0] = static_cast<int16_t>(GetLe16(line + line_field::kWindowPosition1));
        eventWords_[1] = static_cast<int16_t>(GetLe16(line + line_field::kWindowPosition2));
        eventWords_[2] = static_cast<int16_t>(window->width);
        eventWords_[3] = static_cast<int16_t>(window->height);
    }
    const int current = currentSlot_.load(std::memory_order_relaxed);
    {
        std::lock_guard<std::mutex> guard(slotLock_);
        readyMask_.fetch_or(static_cast<uint16_t>(1u << current), std::memory_order_release);
    }
    Deliver(slots_[current], line);
    const int next = (current + 1) % kSlotCount;
    std::lock_guard<std::mutex> guard(slotLock_);
    readyMask_.fetch_and(static_cast<uint16_t>(~(1u << next)), std::memory_order_acq_rel);
    currentSlot_.store(next, std::memory_order_release);
}

void FrameAssembler::MeasureRate() {
    const uint32_t frames = frameCounter_.fetch_add(1, std::memory_order_relaxed) + 1;
    if (frames % 100 != 0) return;
    const int64_t now = CounterNow();
    if (now > lastCounter_) {
        const int64_t rate =
            int64_t{frames - framesAtLastMeasurement_} * kCounterFrequency / (now - lastCounter_);
        frameRate_.store(static_cast<float>(rate), std::memory_order_relaxed);
    }
    lastCounter_ = now;
    framesAtLastMeasurement_ = frames;
}

void FrameAssembler::Deliver(Slot& slot, const uint8_t* line) {
    const ZelIrFrameCallback callback = callback_.load(std::memory_order_acquire);
    void* const context = callbackContext_.load(std::memory_order_acquire);
    if (callback == nullptr || context == nullptr) return;

    const std::span<const uint8_t> lineBytes(line, kPublishedLineBytes);
    if (files::HasValidMarkers(lineBytes)) {
        std::lock_guard<std::mutex> guard(lineLock_);
        std::copy(lineBytes.begin(), lineBytes.end(), publishedLine_.begin());
        ++publishedSequence_;
    }
    FrameInfo info{height_, width_, frame16Bytes_};
    if (const std::optional<Window> window = WindowOf(line)) {
        info =
            FrameInfo{window->height, window->width, uint32_t{window->width} * window->height * 2};
    }
    callback(slot.data.get(), &info, context);
}

int FrameAssembler::FetchNewestFrame(const FrameDestination& dest) const {
    std::lock_guard<std::mutex> guard(slotLock_);
    const int current = currentSlot_.load(std::memory_order_acquire);
    const int s = current == 0 ? kSlotCount - 1 : current - 1;
    if ((readyMask_.load(std::memory_order_acquire) & (1u << s)) == 0) return 0;
    const Slot& slot = slots_[s];
    const size_t bytes = size_t{slot.length} + P;
    if (bytes > dest.data.size()) return 0;  // refuse what does not fit the record
    std::memcpy(dest.data.data(), slot.data.get(), bytes);
    if (dest.imageBytes) *dest.imageBytes = slot.length;
    if (dest.pixelKind) *dest.pixelKind = slot.eightBit;
    if (dest.bytesPerPixel) *dest.bytesPerPixel = slot.eightBit ? 1 : 2;
    return 1;
}

bool FrameAssembler::TakePublishedLine(uint64_t& seen,
                                       std::array<uint8_t, kPublishedLineBytes>& line) const {
    std::lock_guard<std::mutex> guard(lineLock_);
    if (publishedSequence_ == seen) return false;
    seen = publishedSequence_;
    line = publishedLine_;
    return true;
}

void FrameAssembler::SetFrameCallback(ZelIrFrameCallback function, void* context) {
    callbackContext_.store(context, std::memory_order_release);
    callback_.store(function, std::memory_order_release);
}

std::array<int16_t, 4> FrameAssembler::EventWords() const {
    return {eventWords_[0].load(), eventWords_[1].load(), eventWords_[2].load(),
            eventWords_[3].load()};
}

}  // namespace zelir::gige
