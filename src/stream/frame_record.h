// The record of the newest fetched frame; its buffer is the digit array.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "formats/frame_limits.h"

struct FrameRecord {
    std::unique_ptr<uint8_t[]> data{new uint8_t[kFrameBufferBytes]()};
    uint32_t imageBytes = 0;     // image bytes of the last frame; its parameter line follows
    uint32_t pixelKind = 0;      // 0 = 16-bit values, 1 = 8-bit values
    uint32_t bytesPerPixel = 2;  // 1 when pixelKind is non-zero

    std::span<uint8_t> Bytes() { return {data.get(), kFrameBufferBytes}; }
};
