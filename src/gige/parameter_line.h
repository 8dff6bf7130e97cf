// The camera's parameter line: the 100 bytes that end each frame (little-endian fields).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "gige/wire_format.h"

namespace zelir::gige {

constexpr size_t kParameterLineSize = 100;

namespace parameter_line {
constexpr size_t kMarker = 0;
constexpr size_t kSize = 2;
constexpr size_t kWidth = 4;
constexpr size_t kHeight = 6;
constexpr size_t kHeaderLines = 8;
constexpr size_t kFrameId = 28;
constexpr size_t kWindowFlag = 56;
constexpr size_t kWindowWidth = 58;
constexpr size_t kWindowHeight = 60;
constexpr size_t kWindowPosition1 = 62;
constexpr size_t kWindowPosition2 = 64;
}  // namespace parameter_line

inline bool IsValidParameterLine(std::span<const uint8_t> line) {
    if (line.size() < 4) return false;
    const uint16_t size = GetLe16(&line[parameter_line::kSize]);
    return GetLe16(&line[parameter_line::kMarker]) == 1 && size >= 5 && size <= 100;
}

// Copies count bytes of the line into the owner's parameter block, keeping the block's own
// width, height and header-line count.
inline void AdoptParameterLine(std::span<uint8_t> block, std::span<const uint8_t> line,
                               size_t count) {
    count = std::min({count, block.size(), line.size()});
    uint8_t kept[5] = {};
    const bool keep = block.size() > parameter_line::kHeaderLines;
    if (keep) std::memcpy(kept, &block[parameter_line::kWidth], sizeof kept);
    std::memcpy(block.data(), line.data(), count);
    if (keep) std::memcpy(&block[parameter_line::kWidth], kept, sizeof kept);
}

}  // namespace zelir::gige
