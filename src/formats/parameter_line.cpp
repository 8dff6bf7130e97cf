#include "formats/parameter_line.h"

#include <algorithm>
#include <cstring>

namespace zelir::files {
namespace {

// The fields of the line that decide its validity, in the parameter block's layout.
struct ZELIR_PACKED LineHead {
    uint16_t marker;
    uint16_t size;
    uint16_t width;
    uint16_t height;
};
static_assert(sizeof(LineHead) == offsetof(ZelIrParameterBlock, headerLines));
static_assert(offsetof(LineHead, size) == offsetof(ZelIrParameterBlock, paramLineSize));
static_assert(offsetof(LineHead, width) == offsetof(ZelIrParameterBlock, width));
static_assert(offsetof(LineHead, height) == offsetof(ZelIrParameterBlock, height));

constexpr size_t kMarkerBytes = offsetof(LineHead, width);

}  // namespace

bool HasValidMarkers(std::span<const uint8_t> line) {
    if (line.size() < kMarkerBytes) return false;
    LineHead head{};
    std::memcpy(&head, line.data(), kMarkerBytes);
    return head.marker == 1 && head.size >= kParameterLineMinSize &&
           head.size <= kParameterLineMaxSize;
}

bool IsValidParameterLine(std::span<const uint8_t> line, uint16_t width, uint16_t height) {
    if (line.size() < kParameterLineBytes || !HasValidMarkers(line)) return false;
    LineHead head;
    std::memcpy(&head, line.data(), sizeof(head));
    return head.width == width && head.height == height;
}

void AdoptParameterLine(ZelIrParameterBlock& block, std::span<const uint8_t> line) {
    const uint16_t width = block.width;
    const uint16_t height = block.height;
    const uint8_t headerLines = block.headerLines;
    std::memcpy(&block, line.data(), std::min(line.size(), kParameterLineBytes));
    block.width = width;
    block.height = height;
    block.headerLines = headerLines;
}

}  // namespace zelir::files
