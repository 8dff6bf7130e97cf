// One frame as the view page receives it: a binary WebSocket message made of a fixed header,
// the palette, the 8-bit palette image (top row first) and the 16-bit digit values, so the page
// shows the value under the mouse without asking the server.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace zelir_cli {

static_assert(std::endian::native == std::endian::little, "the page reads little-endian fields");

inline constexpr uint32_t kViewFrameMagic = 0x3146565A;  // "ZVF1"
inline constexpr size_t kViewPaletteBytes = 1024;        // 256 x blue, green, red, 0

enum ViewFlag : uint32_t {
    kViewCamera = 1u << 0,
    kViewMovie = 1u << 1,
    kViewRecording = 1u << 2,
    kViewPaused = 1u << 3,
};

#pragma pack(push, 1)
struct ViewFrameHeader {
    uint32_t magic;
    uint32_t headerBytes;
    uint32_t sequence;  // counts published frames
    uint32_t frameId;
    uint32_t width;
    uint32_t height;
    uint32_t minDigit;
    uint32_t maxDigit;
    double publishedMs;  // wall clock (ms since the epoch) when the frame was fetched
    float sourceRate;    // frames per second the source delivers
    uint32_t palette;
    int32_t displayType;
    int32_t brightness;
    int32_t contrast;
    uint32_t flags;  // ViewFlag
    uint32_t position;
    uint32_t frameCount;  // frames of a movie, 1 otherwise
};
#pragma pack(pop)

static_assert(sizeof(ViewFrameHeader) == 72, "view frame header layout");
static_assert(offsetof(ViewFrameHeader, publishedMs) == 32, "view frame header layout");
static_assert(offsetof(ViewFrameHeader, sourceRate) == 40, "view frame header layout");
static_assert(offsetof(ViewFrameHeader, flags) == 60, "view frame header layout");
static_assert(offsetof(ViewFrameHeader, frameCount) == 68, "view frame header layout");
// Keeps the digit values 2-byte aligned in the message for a typed array view in the page.
static_assert((sizeof(ViewFrameHeader) + kViewPaletteBytes) % 8 == 0, "view frame alignment");

// A finished message; shared read-only by every client that sends it.
using ViewMessage = std::shared_ptr<const std::vector<uint8_t>>;

size_t ViewMessageBytes(uint32_t width, uint32_t height);

// Header fields are set by the caller; palette, image and digits are copied behind it.
ViewMessage PackViewFrame(const ViewFrameHeader& header, std::span<const uint8_t> palette,
                          std::span<const uint8_t> image, std::span<const uint16_t> digits);

}  // namespace zelir_cli
