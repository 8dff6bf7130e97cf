#include "base/timer.h"

namespace Infrared_1_0 {

int64_t CTimer::Start() {
    start_ = std::chrono::steady_clock::now();
    return std::chrono::duration_cast<std::chrono::microseconds>(start_.time_since_epoch()).count();
}

int64_t CTimer::DurationMilliSeconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

int64_t CTimer::DurationMicroSeconds() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

}  // namespace Infrared_1_0

namespace zelir {
uint32_t TickCountMs() {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}
}  // namespace zelir
