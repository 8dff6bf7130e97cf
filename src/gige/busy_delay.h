// Pacing of unacknowledged messages on the monotonic clock.
#pragma once

#include <cstdint>

namespace zelir::gige {

// Reads the clock's resolution and clears the delay's state (nothing to clear here).
void DelayInit();
// Microseconds of the monotonic clock.
int64_t DelayNowMicroseconds();
// Returns once n milliseconds have passed; sleeps meanwhile.
void DelayMilliseconds(uint32_t n);

}  // namespace zelir::gige
