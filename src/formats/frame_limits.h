// The largest frame any source delivers: 1280 x 1024 16-bit values plus two lines.
#pragma once

#include <cstdint>

inline constexpr uint32_t kMaxFrameWidth = 1280;
inline constexpr uint32_t kMaxFrameHeight = 1024;
inline constexpr uint32_t kFrameBufferBytes = kMaxFrameWidth * (kMaxFrameHeight + 2) * 2;
