// Taking frames from a live camera: a camera hands out its newest frame on every request, so
// a new frame is told by its frame id, and a steady stream is sampled once per frame interval.
#pragma once

#include <zelir/zelir.h>

#include <chrono>
#include <cstdint>

namespace zelir_cli {

using Clock = std::chrono::steady_clock;

// Fetches until the frame id differs from `frameId` (updated); false after `timeout`.
bool WaitForNewFrame(ZelIrHandle handle, uint32_t& frameId, std::chrono::milliseconds timeout);

// Fetches once per frame interval, half an interval after each frame's arrival, so every frame
// is taken once; each fetch of a recording handle is also recorded.
class FrameSampler {
  public:
    explicit FrameSampler(ZelIrHandle handle) : handle_(handle) {}
    // Measures the interval from the frame ids for `span` and locks onto the arrivals; false
    // when the camera delivers no new frames.
    bool Lock(std::chrono::milliseconds span);
    // Sleeps until the next sample time and fetches; false when the fetch failed.
    bool Next();
    // The same in two steps, for a caller that waits by itself: when to fetch, and the fetch.
    Clock::time_point Due() const { return next_; }
    bool FetchNow();
    // Takes up sampling again after fetches made elsewhere: the current frame arrived at
    // `arrival`.
    void Resume(Clock::time_point arrival);

    double FramesPerSecond() const {
        return 1.0 / std::chrono::duration<double>(interval_).count();
    }
    uint32_t Fetched() const { return fetched_; }
    uint32_t Repeated() const { return repeated_; }  // fetches that found no newer frame
    uint32_t Missed() const { return missed_; }      // frames passed over between fetches

  private:
    ZelIrHandle handle_;
    uint32_t frameId_ = 0;
    Clock::duration interval_{};
    Clock::time_point next_{};
    Clock::time_point lockTime_{};  // arrival of frame lockId_
    uint32_t lockId_ = 0;
    uint32_t fetched_ = 0, repeated_ = 0, missed_ = 0;
};

}  // namespace zelir_cli
