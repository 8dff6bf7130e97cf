// A bounded queue of whole frames between the camera's receive thread (the frame callback) and
// a writer thread. Its slots are allocated once; a frame that finds every slot taken is counted
// as an overflow, never dropped silently and never waited for (the callback must not block).
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace zelir_cli {

inline constexpr size_t kLineBytes = 100;

struct QueuedFrame {
    std::vector<uint8_t> digits;
    std::array<uint8_t, kLineBytes> line{};
    bool hasLine = false;
    double arrivalSeconds = 0;
};

class FrameQueue {
  public:
    FrameQueue(size_t slots, size_t frameBytes);

    // Receive thread: copies the frame and its line (may be empty) into a free slot; false
    // (and one more overflow) when there is none or the frame is of another size.
    bool Push(std::span<const uint8_t> digits, std::span<const uint8_t> line,
              double arrivalSeconds);
    // Writer thread: the oldest frame, waiting for one; null once Close() was called and the
    // queue is empty. Release() hands the slot back.
    const QueuedFrame* Front();
    void Release();
    // No more frames will come; Front() returns what is left, then null.
    void Close();

    uint64_t Overflows() const;
    uint64_t WrongSize() const;

  private:
    std::vector<QueuedFrame> slots_;
    size_t frameBytes_;
    mutable std::mutex mutex_;
    std::condition_variable ready_;
    size_t head_ = 0;
    size_t count_ = 0;
    bool closed_ = false;
    uint64_t overflows_ = 0;
    uint64_t wrongSize_ = 0;
};

}  // namespace zelir_cli
