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

// How far a packet may arrive out of its place and still be taken for the frame it belongs to.
constexpr uint32_t kReorderReach = 32;

// Received flags: one bit per packet a slot can hold, in 64-bit words (one spare word keeps
// the tail test of a full last word in range).
size_t ReceivedWords(uint32_t packets) {
    return packets / 64 + 1;
}

void Count(std::atomic<uint64_t>& counter) {
    counter.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

FrameAssembler::FrameAssembler(uint32_t width, uint32_t height)
    : width_(width),
      height_(height),
      frame16Bytes_(width * height * 2),
      frame8Bytes_(width * height),
      packets16_(frame16Bytes_ / P + 1),
      packets8_(frame8Bytes_ / P + 1),
      expectedPackets_(packets16_),
      received_(std::make_unique<uint64_t[]>(ReceivedWords(packets16_))),
      startNs_(CounterNow()),
      lastCounter_(CounterNow()) {
    for (Slot& slot : slots_) slot.data = std::make_unique<uint8_t[]>(SlotCapacity());
}

void FrameAssembler::Restart() {
    ForgetFrame();
    currentSlot_.store(0, std::memory_order_release);
    lastPublishNs_.store(0, std::memory_order_relaxed);
    startNs_.store(CounterNow(), std::memory_order_relaxed);
}

void FrameAssembler::ForgetFrame() {
    nextExpectedId_ = 0;
    frameOpen_ = false;
    frameBroken_ = true;
    droppedBlockId_.reset();
    assembly_ = Assembly::Idle;
    previousBlockId_.reset();
}

void FrameAssembler::HandlePacket(std::span<const uint8_t> payload) {
    if (payload.size() < sizeof(StreamPacketHeader)) return;
    const auto& h = *reinterpret_cast<const StreamPacketHeader*>(payload.data());
    const bool anyOrder = anyOrder_.load(std::memory_order_relaxed);
    if (anyOrder != anyOrderInUse_) {
        anyOrderInUse_ = anyOrder;
        ForgetFrame();
    }
    const auto data = payload.subspan(sizeof(StreamPacketHeader));
    if (anyOrder) {
        TakeAnyOrder(h, StreamPacketId(h), data);
    } else {
        TakeInSequence(h, StreamPacketId(h), data);
    }
}

void FrameAssembler::StartSlot(const StreamPacketHeader& h) {
    Slot& slot = slots_[currentSlot_.load(std::memory_order_relaxed)];
    const bool eightBit = GetBe16(h.dataFormat) == kDataFormat8Bit;
    expectedPackets_.store(eightBit ? packets8_ : packets16_, std::memory_order_relaxed);
    slot.length = eightBit ? frame8Bytes_ : frame16Bytes_;
    slot.eightBit = eightBit ? 1 : 0;
}

void FrameAssembler::TakeInSequence(const StreamPacketHeader& h, uint32_t k,
                                    std::span<const uint8_t> data) {
    const uint32_t blockId = StreamBlockId(h);
    if (k == 0) {
        if (frameOpen_) DropInSequence(openBlockId_);  // its tail never came
        nextExpectedId_ = 1;
        frameOpen_ = true;
        frameBroken_ = false;
        openBlockId_ = blockId;
        StartSlot(h);
    } else {
        // Counting alone would take a frame back after two swapped packets (the count meets
        // the ids again), publishing it with two packets missing; one packet out of order
        // abandons the frame until the next packet 0 instead.
        if (k != nextExpectedId_ && !frameBroken_) {
            frameBroken_ = true;
            frameOpen_ = false;
            DropInSequence(blockId);
        }
        ++nextExpectedId_;
    }
    // A packet beyond the slot's room is never copied; its frame cannot complete after it.
    if (frameBroken_ || k >= packets16_) return;

    uint8_t* target =
        slots_[currentSlot_.load(std::memory_order_relaxed)].data.get() + size_t{k} * P;
    std::memcpy(target, data.data(), std::min<size_t>(P, data.size()));
    if (k + 1 == expectedPackets_.load(std::memory_order_relaxed)) {
        frameOpen_ = false;
        droppedBlockId_.reset();
        CompleteFrame(blockId, target);
    }
}

void FrameAssembler::DropInSequence(uint32_t blockId) {
    // Packets before a late packet 0 and the packets after it break the sequence twice, yet
    // they are one frame: a block id is counted once until a frame completes.
    if (droppedBlockId_ == blockId) return;
    droppedBlockId_ = blockId;
    Count(counters_.framesDroppedIncomplete);
}

void FrameAssembler::TakeAnyOrder(const StreamPacketHeader& h, uint32_t k,
                                  std::span<const uint8_t> data) {
    const uint32_t blockId = StreamBlockId(h);
    if (assembly_ == Assembly::Idle || blockId != blockId_) {
        if (previousBlockId_ == blockId) {  // a straggler of the frame before: too late
            Count(previousCompleted_ ? counters_.packetsRepeated : counters_.packetsOutOfOrder);
            return;
        }
        BeginFrame(blockId);
    } else if (assembly_ == Assembly::Completed) {
        // A block id seen again after its frame completed: a new frame when it starts with
        // packet 0 (a camera repeating the id), else a late copy of a packet already used.
        if (k != 0) return Count(counters_.packetsRepeated);
        BeginFrame(blockId);
    } else if (k == 0 && highestId_ > kReorderReach) {
        // Packet 0 long after the frame began is the next frame under the same block id (a
        // camera repeating the id, or restarting): never fill one frame's gaps with another's.
        BeginFrame(blockId);
    }
    // A packet beyond the slot's room is never copied; its frame cannot complete.
    if (k >= packets16_) return;
    if (!MarkReceived(k)) return Count(counters_.packetsRepeated);
    if (k < highestId_) Count(counters_.packetsOutOfOrder);
    highestId_ = std::max(highestId_, k);

    if (k == 0) {
        packet0Seen_ = true;
        StartSlot(h);
    }
    uint8_t* slotData = slots_[currentSlot_.load(std::memory_order_relaxed)].data.get();
    std::memcpy(slotData + size_t{k} * P, data.data(), std::min<size_t>(P, data.size()));

    // The data format comes with packet 0, so no frame completes before it.
    const uint32_t expected = expectedPackets_.load(std::memory_order_relaxed);
    if (packet0Seen_ && expected != 0 && receivedCount_ >= expected && AllReceived()) {
        CompleteFrame(blockId, slotData + size_t{expected - 1} * P);
    }
}

void FrameAssembler::BeginFrame(uint32_t blockId) {
    if (assembly_ == Assembly::Assembling) {
        // A frame holding only packet 0 under the block id just completed was a late copy of
        // that packet, not a frame.
        const bool strayPacket0 = receivedCount_ == 1 && packet0Seen_ && blockId_ == lastBlockId_;
        Count(strayPacket0 ? counters_.packetsRepeated : counters_.framesDroppedIncomplete);
    }
    if (assembly_ != Assembly::Idle && blockId != blockId_) {
        previousBlockId_ = blockId_;
        previousCompleted_ = assembly_ == Assembly::Completed;
    }
    assembly_ = Assembly::Assembling;
    blockId_ = blockId;
    std::fill_n(received_.get(), ReceivedWords(packets16_), uint64_t{0});
    receivedCount_ = 0;
    highestId_ = 0;
    packet0Seen_ = false;
}

bool FrameAssembler::MarkReceived(uint32_t k) {
    uint64_t& word = received_[k / 64];
    const uint64_t bit = uint64_t{1} << (k % 64);
    if ((word & bit) != 0) return false;
    word |= bit;
    ++receivedCount_;
    return true;
}

bool FrameAssembler::AllReceived() const {
    // Packets beyond the expected count (an 8-bit frame's) may be flagged too: test only 0..n-1.
    const uint32_t n = expectedPackets_.load(std::memory_order_relaxed);
    for (uint32_t w = 0; w < n / 64; ++w) {
        if (received_[w] != ~uint64_t{0}) return false;
    }
    const uint64_t tail = (uint64_t{1} << (n % 64)) - 1;
    return (received_[n / 64] & tail) == tail;
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
    assembly_ = Assembly::Completed;
    Count(counters_.framesCompleted);
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
    lastPublishNs_.store(CounterNow(), std::memory_order_relaxed);
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

StreamCounters FrameAssembler::Counters() const {
    return {counters_.framesCompleted.load(std::memory_order_relaxed),
            counters_.framesDroppedIncomplete.load(std::memory_order_relaxed),
            counters_.packetsOutOfOrder.load(std::memory_order_relaxed),
            counters_.packetsRepeated.load(std::memory_order_relaxed)};
}

StreamState FrameAssembler::State(std::chrono::nanoseconds lostAfter) const {
    const int64_t last = lastPublishNs_.load(std::memory_order_relaxed);
    const int64_t since = last != 0 ? last : startNs_.load(std::memory_order_relaxed);
    if (CounterNow() - since > lostAfter.count()) return StreamState::Lost;
    return last != 0 ? StreamState::Receiving : StreamState::Waiting;
}

std::array<int16_t, 4> FrameAssembler::EventWords() const {
    return {eventWords_[0].load(), eventWords_[1].load(), eventWords_[2].load(),
            eventWords_[3].load()};
}

}  // namespace zelir::gige
