// Palette tables: palette files, a caller's palette, and alarm colours over the first entries.
#include <cstdio>
#include <string>

#include "base/string_conversion.h"
#include "imaging/ir_manager.h"

namespace {

constexpr int kPaletteCount = 9;
constexpr int kAlarmColourLimit = 6;
constexpr size_t kPaletteFileBytes = 256 * 3;

std::string PaletteFilePath(const std::wstring& moduleDirectory, int index) {
    return zelir::WideToUtf8(moduleDirectory) + "Palette/Palette" + std::to_string(index) + ".raw";
}

RGBQUAD Grey(int level) {
    const auto v = static_cast<uint8_t>(level);
    return RGBQUAD{v, v, v, 0};
}

}  // namespace

void CIRManager::LoadPalette(int index) {
    if (index < 0 || index >= kPaletteCount) index = 0;
    parameterBlock_.paletteIndex = static_cast<uint16_t>(index);

    uint8_t records[kPaletteFileBytes];
    size_t read = 0;
    if (FILE* file = std::fopen(PaletteFilePath(moduleDirectory_, index).c_str(), "rb")) {
        read = std::fread(records, 1, sizeof(records), file);
        std::fclose(file);
    }
    // Levels the file does not reach (a missing or short file) keep the grey ramp.
    for (int level = 0; level < 256; ++level) {
        const size_t at = static_cast<size_t>(level) * 3;
        paletteTable_[level] = at + 3 <= read
                                   ? RGBQUAD{records[at + 2], records[at + 1], records[at], 0}
                                   : Grey(level);
    }

    const int count = parameterBlock_.alarmColorCount;
    if (count < kAlarmColourLimit && parameterBlock_.alarmColorMarker == ZELIR_ALARM_COLOR_MARKER) {
        for (int i = 0; i < count; ++i) {
            const auto colour = static_cast<uint32_t>(parameterBlock_.alarmColors[i]);
            paletteTable_[i] =
                RGBQUAD{static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8),
                        static_cast<uint8_t>(colour), 0};
        }
    }
}

int32_t CIRManager::SetUserPalette(const RGBQUAD* table) {
    if (table == nullptr) return 0;
    for (int i = 0; i < 256; ++i) {
        paletteTable_[i].rgbBlue = table[i].rgbBlue;
        paletteTable_[i].rgbGreen = table[i].rgbGreen;
        paletteTable_[i].rgbRed = table[i].rgbRed;
    }
    return 1;
}
