#include "frame_output.h"

#include <cstdio>
#include <vector>

#include "cli_args.h"

namespace zelir_cli {

namespace {

bool WriteRaw(ZelIrHandle handle, const std::string& target) {
    uint32_t width = 0;
    uint32_t height = 0;
    ZelIr_GetDigitArrayPara(handle, &width, &height);
    std::vector<uint16_t> digits(size_t{width} * height);
    if (digits.empty() || ZelIr_GetDigitArray(handle, digits.data(), nullptr) != 1) return false;
    FILE* file = std::fopen(target.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(digits.data(), 2, digits.size(), file) == digits.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool IsFrameFormat(const std::string& format) {
    return format == "combined" || format == "raw" || format == "bmp";
}

const char* FrameExtension(const std::string& format) {
    return format == "raw" ? "raw" : "bmp";
}

bool SaveFrame(ZelIrHandle handle, const std::string& format, const std::string& path) {
    if (format == "combined") return ZelIr_SaveCurrImage(handle, Wide(path).c_str()) == 1;
    if (format == "bmp") return ZelIr_SaveCurrImageAsBmp(handle, Wide(path).c_str()) == 1;
    if (format == "raw") return WriteRaw(handle, path);
    return false;
}

}  // namespace zelir_cli
