// Millisecond and microsecond stopwatch on the monotonic clock.
#pragma once

#include <chrono>
#include <cstdint>

namespace Infrared_1_0 {

class CTimer {
  public:
    CTimer() = default;
    virtual ~CTimer() = default;

    // Begins a measurement; returns the start point in microseconds of the monotonic clock.
    int64_t Start();
    int64_t DurationMilliSeconds() const;
    int64_t DurationMicroSeconds() const;

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace Infrared_1_0

namespace zelir {
// Milliseconds of the monotonic clock, for tick-count time stamps.
uint32_t TickCountMs();
}  // namespace zelir
