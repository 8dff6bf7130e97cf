// Replacement of bad pixels from their nearest good neighbours.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace zelir::arith {

class BadPixelRepair {
  public:
    // Prepares the replacement of every pixel whose mask entry is non-zero: the nearest good
    // pixel up, down, left and right (within kReach pixels) give its value. Clears when the mask
    // is empty.
    void Build(std::span<const std::uint8_t> badMask, int w, int h);
    void Clear();

    // Replaces the bad pixels of a frame of the size given to Build.
    void Apply(std::span<std::uint16_t> frame) const;

    std::size_t Count() const { return repairs_.size(); }
    bool Empty() const { return repairs_.empty(); }

    static constexpr int kReach = 16;

  private:
    struct Repair {
        std::uint32_t pixel;
        std::uint32_t neighbourCount;
        std::array<std::uint32_t, 4> neighbours;
    };
    std::vector<Repair> repairs_;
};

}  // namespace zelir::arith
