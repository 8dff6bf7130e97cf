#include "frame_queue.h"

#include <algorithm>

namespace zelir_cli {

FrameQueue::FrameQueue(size_t slots, size_t frameBytes) : slots_(slots), frameBytes_(frameBytes) {
    for (QueuedFrame& slot : slots_) slot.digits.resize(frameBytes);
}

bool FrameQueue::Push(std::span<const uint8_t> digits, std::span<const uint8_t> line,
                      double arrivalSeconds) {
    size_t tail = 0;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (digits.size() != frameBytes_) {
            ++wrongSize_;
            return false;
        }
        if (count_ == slots_.size()) {
            ++overflows_;
            return false;
        }
        tail = (head_ + count_) % slots_.size();
    }
    // Only this thread fills slots, and the writer never reads one before it is counted in.
    QueuedFrame& slot = slots_[tail];
    std::copy(digits.begin(), digits.end(), slot.digits.begin());
    slot.hasLine = line.size() >= kLineBytes;
    if (slot.hasLine) std::copy_n(line.begin(), kLineBytes, slot.line.begin());
    slot.arrivalSeconds = arrivalSeconds;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        ++count_;
    }
    ready_.notify_one();
    return true;
}

const QueuedFrame* FrameQueue::Front() {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [&] { return count_ > 0 || closed_; });
    return count_ > 0 ? &slots_[head_] : nullptr;
}

void FrameQueue::Release() {
    std::lock_guard<std::mutex> guard(mutex_);
    head_ = (head_ + 1) % slots_.size();
    --count_;
}

void FrameQueue::Close() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        closed_ = true;
    }
    ready_.notify_all();
}

uint64_t FrameQueue::Overflows() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return overflows_;
}

uint64_t FrameQueue::WrongSize() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return wrongSize_;
}

}  // namespace zelir_cli
