#include "view_control.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace zelir_cli {

namespace {

constexpr int64_t kPaletteCount = 9;
constexpr int64_t kMaxLevel = 100;
constexpr std::array<int64_t, 7> kDisplayTypes = {0, 1, 3, 4, 5, 6, 7};

struct ActionName {
    std::string_view name;
    ViewAction action;
    bool takesValue;
};

constexpr ActionName kActions[] = {
    {"palette", ViewAction::kPalette, true},
    {"type", ViewAction::kDisplayType, true},
    {"brightness", ViewAction::kBrightness, true},
    {"contrast", ViewAction::kContrast, true},
    {"record start", ViewAction::kRecordStart, false},
    {"record stop", ViewAction::kRecordStop, false},
    {"play", ViewAction::kPlay, false},
    {"pause", ViewAction::kPause, false},
    {"seek", ViewAction::kSeek, true},
};

bool InRange(ViewAction action, int64_t value) {
    switch (action) {
        case ViewAction::kPalette:
            return value >= 0 && value < kPaletteCount;
        case ViewAction::kDisplayType:
            return std::find(kDisplayTypes.begin(), kDisplayTypes.end(), value) !=
                   kDisplayTypes.end();
        case ViewAction::kBrightness:
        case ViewAction::kContrast:
            return value >= 0 && value <= kMaxLevel;
        case ViewAction::kSeek:
            return value >= 0 && value <= UINT32_MAX;
        default:
            return true;
    }
}

}  // namespace

std::optional<ViewControl> ParseViewControl(std::string_view text) {
    if (text.size() > kMaxControlBytes) return std::nullopt;
    for (const ActionName& entry : kActions) {
        if (!entry.takesValue) {
            if (text == entry.name) return ViewControl{entry.action};
            continue;
        }
        if (text.size() <= entry.name.size() + 1 || !text.starts_with(entry.name) ||
            text[entry.name.size()] != ' ') {
            continue;
        }
        const std::string_view number = text.substr(entry.name.size() + 1);
        int64_t value = 0;
        const auto [end, error] =
            std::from_chars(number.data(), number.data() + number.size(), value);
        if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
        if (!InRange(entry.action, value)) return std::nullopt;
        return ViewControl{entry.action, value};
    }
    return std::nullopt;
}

}  // namespace zelir_cli
