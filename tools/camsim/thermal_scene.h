// Synthetic thermal scene: a warm gradient, a warm object moving on a circle, per-pixel
// fixed-pattern gain and offset, and a few dead and hot pixels, as 14-bit detector values.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace camsim {

class ThermalScene {
  public:
    static constexpr uint16_t kMaxValue = 16383;
    static constexpr uint16_t kHotValue = kMaxValue;
    static constexpr uint16_t kDeadValue = 0;

    ThermalScene(uint32_t width, uint32_t height);

    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    // Writes the whole frame for frame number n (row-major, width x height values).
    void Render(uint32_t n, std::span<uint16_t> out) const;
    // A uniform scene at `level` (a reference body filling the view), seen through the same
    // fixed-pattern gain and offset and with the same bad pixels.
    void RenderUniform(float level, std::span<uint16_t> out) const;
    // The bad pixels, as indices into the frame.
    const std::vector<uint32_t>& DeadPixels() const { return dead_; }
    const std::vector<uint32_t>& HotPixels() const { return hot_; }

  private:
    uint32_t width_, height_;
    std::vector<uint16_t> background_;  // gradient with fixed-pattern noise already applied
    std::vector<float> gain_;
    std::vector<float> offset_;
    std::vector<uint32_t> dead_, hot_;
};

}  // namespace camsim
