// Hands the newest frame message to any number of senders. It holds one message only: a sender
// that falls behind skips to the newest frame, so nothing queues however slow a client is.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "view_frame.h"

namespace zelir_cli {

class FrameMailbox {
  public:
    void Publish(ViewMessage message) {
        {
            std::lock_guard lock(mutex_);
            latest_ = std::move(message);
            ++sequence_;
        }
        changed_.notify_all();
    }

    // Waits for a message newer than `seen` (updated) and returns it; null once `stop` is set
    // or after `timeout`.
    ViewMessage WaitNewer(uint64_t& seen, const std::atomic<bool>& stop,
                          std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        const bool ready = changed_.wait_for(
            lock, timeout, [&] { return stop.load() || (sequence_ != seen && latest_); });
        if (!ready || stop.load()) return nullptr;
        seen = sequence_;
        return latest_;
    }

    // Wakes every waiter so that one whose `stop` was just set returns.
    void WakeAll() {
        { std::lock_guard lock(mutex_); }
        changed_.notify_all();
    }

    uint64_t Published() const {
        std::lock_guard lock(mutex_);
        return sequence_;
    }

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    ViewMessage latest_;
    uint64_t sequence_ = 0;
};

}  // namespace zelir_cli
