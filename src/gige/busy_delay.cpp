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
    const int64_t target = int64_t{n} * 1000;
    const int64_t start = DelayNowMicroseconds();
    while (DelayNowMicroseconds() - start < target) std::this_thread::yield();
}

}  // namespace zelir::gige
