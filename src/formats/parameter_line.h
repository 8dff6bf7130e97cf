// The 100-byte camera parameter line: when it is valid, and how it is adopted.
#pragma once

#include <zelir/zelir.h>

#include <cstddef>
#include <cstdint>
#include <span>

namespace zelir::files {

inline constexpr size_t kParameterLineBytes = ZELIR_PARAMETER_LINE_SIZE;
inline constexpr uint16_t kParameterLineMinSize = 5;
inline constexpr uint16_t kParameterLineMaxSize = 100;

// The camera's rule: the marker is 1 and the size field lies in 5..100. False for a line
// shorter than its two markers.
bool HasValidMarkers(std::span<const uint8_t> line);

// The file-format rule: at least 100 bytes with valid markers whose width and height are the
// image's.
bool IsValidParameterLine(std::span<const uint8_t> line, uint16_t width, uint16_t height);

// Copies the line (at most 100 bytes; a camera's callback delivery adopts only 64) over the
// start of the block; the block keeps its own width, height and header lines.
void AdoptParameterLine(ZelIrParameterBlock& block, std::span<const uint8_t> line);

}  // namespace zelir::files
