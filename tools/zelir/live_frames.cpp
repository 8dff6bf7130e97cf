#include "live_frames.h"

#include <thread>

namespace zelir_cli {

namespace {

constexpr auto kPollPause = std::chrono::microseconds(500);
constexpr auto kFirstFrameWait = std::chrono::seconds(3);
// A jump of the frame id this large is a camera that started counting again, not lost frames.
constexpr uint32_t kIdRestart = 0x10000;

}  // namespace

bool WaitForNewFrame(ZelIrHandle handle, uint32_t& frameId, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (ZelIr_GetNewArray(handle) == 1 && ZelIr_GetFrameID(handle) != frameId) {
            frameId = ZelIr_GetFrameID(handle);
            return true;
        }
        std::this_thread::sleep_for(kPollPause);
    }
    return false;
}

bool FrameSampler::Lock(std::chrono::milliseconds span) {
    frameId_ = ZelIr_GetFrameID(handle_);
    if (!WaitForNewFrame(handle_, frameId_, kFirstFrameWait)) return false;
    const uint32_t firstId = frameId_;
    const Clock::time_point first = Clock::now();
    Clock::time_point last = first;
    while (Clock::now() - first < span || frameId_ == firstId) {
        if (!WaitForNewFrame(handle_, frameId_, kFirstFrameWait)) return false;
        last = Clock::now();
    }
    interval_ = (last - first) / static_cast<int64_t>(frameId_ - firstId);
    lockTime_ = first;
    lockId_ = firstId;
    next_ = last + interval_ + interval_ / 2;
    return true;
}

bool FrameSampler::Next() {
    std::this_thread::sleep_until(next_);
    return FetchNow();
}

void FrameSampler::Resume(Clock::time_point arrival) {
    frameId_ = ZelIr_GetFrameID(handle_);
    next_ = arrival + interval_ + interval_ / 2;
}

bool FrameSampler::FetchNow() {
    if (ZelIr_GetNewArray(handle_) != 1) return false;
    ++fetched_;
    const Clock::time_point fetchedAt = Clock::now();
    const uint32_t id = ZelIr_GetFrameID(handle_);
    const uint32_t step = id - frameId_;
    frameId_ = id;
    // The interval, refined over everything seen since the lock: each fetch lies about half an
    // interval after its frame's arrival, so the error shrinks with the frames counted.
    const uint32_t counted = id - lockId_;
    if (step > 0 && counted > 0 && counted < kIdRestart) {
        interval_ = (fetchedAt - lockTime_ - interval_ / 2) / static_cast<int64_t>(counted);
    }
    // Early (the same frame again) or late (one passed over): move the sampling phase a
    // quarter interval, so it settles between two arrivals.
    if (step == 0) {
        ++repeated_;
        next_ += interval_ / 4;
    } else if (step > 1 && step < kIdRestart) {
        missed_ += step - 1;
        next_ -= interval_ / 4;
    }
    next_ += interval_;
    return true;
}

}  // namespace zelir_cli
