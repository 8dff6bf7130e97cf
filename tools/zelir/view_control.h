// The control messages of the view page: short text messages "ACTION [VALUE]".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zelir_cli {

// Longer text messages are refused unread.
inline constexpr size_t kMaxControlBytes = 64;

enum class ViewAction {
    kPalette,      // "palette 0..8"
    kDisplayType,  // "type T", a brightness/contrast type of the display mapping
    kBrightness,   // "brightness 0..100"
    kContrast,     // "contrast 0..100"
    kRecordStart,  // "record start" (cameras)
    kRecordStop,   // "record stop"
    kPlay,         // "play" (movies)
    kPause,        // "pause"
    kSeek,         // "seek N", a frame index of the movie
};

struct ViewControl {
    ViewAction action;
    int64_t value = 0;
};

// Null for unknown actions and values out of range.
std::optional<ViewControl> ParseViewControl(std::string_view text);

}  // namespace zelir_cli
