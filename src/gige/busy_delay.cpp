#include "gige/busy_delay.h"

#include <chrono>
#include <thread>

#include "base/timer.h"

namespace zelir::gige {

void DelayInit() {}

int64_t DelayNowMicroseconds() {
    return MonotonicNanoseconds() / 1000;
}

void DelayMilliseconds(uint32_t n) {
    // The kernel's timer slack (about 50 us) is far below the millisecond pacing asked for.
    std::this_thread::sleep_for(std::chrono::milliseconds(n));
}

}  // namespace zelir::gige
