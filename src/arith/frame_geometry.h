// Frame sizes the arithmetic library works on.
#pragma once

#include <cstddef>

namespace zelir::arith {

inline constexpr int kMinWidth = 48;
inline constexpr int kMinHeight = 36;
inline constexpr int kMaxWidth = 1280;
inline constexpr int kMaxHeight = 1024;
inline constexpr std::size_t kMaxPixels = std::size_t{kMaxWidth} * kMaxHeight;

// Smaller frames carry too little for the statistics; larger ones do not fit the buffers the
// streams hold. Either way nothing is touched.
constexpr bool IsSupportedFrame(int w, int h) {
    return w >= kMinWidth && w <= kMaxWidth && h >= kMinHeight && h <= kMaxHeight;
}

constexpr std::size_t PixelCount(int w, int h) {
    return static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
}

}  // namespace zelir::arith
