// Pacing of unacknowledged messages: a busy wait on the monotonic clock, finer than a sleep.
#pragma once

#include <cstdint>

namespace zelir::gige {

// Reads the clock's resolution and clears the delay's state (nothing to clear here).
void DelayInit();
// Microseconds of the monotonic clock.
int64_t DelayNowMicroseconds();
// Returns once n milliseconds have passed; yields the processor while it waits.
void DelayMilliseconds(uint32_t n);

}  // namespace zelir::gige
