#include "gige/busy_delay.h"

#include <chrono>
#include <thread>

namespace zelir::gige {

void DelayInit() {}

int64_t DelayNowMicroseconds() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void DelayMilliseconds(uint32_t n) {
    // The kernel's timer slack (about 50 us) is far below the millisecond pacing asked for.
    std::this_thread::sleep_for(std::chrono::milliseconds(n));
}

}  // namespace zelir::gige
