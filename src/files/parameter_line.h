// The 100-byte camera parameter line: when it is valid for an image, and how it is adopted.
#pragma once

#include <zelir/zelir.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace zelir::files {

inline constexpr size_t kParameterLineBytes = ZELIR_PARAMETER_LINE_SIZE;
inline constexpr uint16_t kParameterLineMinSize = 5;
inline constexpr uint16_t kParameterLineMaxSize = 100;

// True when `line` holds at least 100 bytes whose marker is 1, whose size field lies in 5..100
// and whose width and height are the image's.
bool IsValidParameterLine(std::span<const uint8_t> line, uint16_t width, uint16_t height);

// Copies the line over the first 100 bytes of the block; the block keeps its own width,
// height and header lines.
void AdoptParameterLine(ZelIrParameterBlock& block,
                        std::span<const uint8_t, kParameterLineBytes> line);

}  // namespace zelir::files
