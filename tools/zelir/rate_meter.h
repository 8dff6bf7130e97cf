// Frames per second over the most recent frames.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>

namespace zelir_cli {

class RateMeter {
  public:
    void Add(std::chrono::steady_clock::time_point when) {
        times_[next_ % times_.size()] = when;
        ++next_;
    }

    float PerSecond() const {
        if (next_ < 2) return 0.0f;
        const size_t count = next_ < times_.size() ? next_ : times_.size();
        const auto newest = times_[(next_ - 1) % times_.size()];
        const auto oldest = times_[(next_ - count) % times_.size()];
        const double seconds = std::chrono::duration<double>(newest - oldest).count();
        return seconds > 0.0 ? static_cast<float>((count - 1) / seconds) : 0.0f;
    }

  private:
    std::array<std::chrono::steady_clock::time_point, 32> times_{};
    size_t next_ = 0;
};

}  // namespace zelir_cli
