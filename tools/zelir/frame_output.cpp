#include "frame_output.h"

#include <tiffio.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "cli_args.h"
#include "image_writers.h"

namespace zelir_cli {

namespace {

struct FormatName {
    ImageFormat format;
    const char* name;
    const char* extension;
};

constexpr FormatName kFormats[] = {
    {ImageFormat::kBmp, "bmp", "bmp"},           {ImageFormat::kPng, "png", "png"},
    {ImageFormat::kTiff, "tif", "tif"},          {ImageFormat::kTiff, "tiff", "tiff"},
    {ImageFormat::kNpy, "npy", "npy"},           {ImageFormat::kRaw, "raw", "raw"},
    {ImageFormat::kCombined, "combined", "bmp"},
};

ImageSize SizeOf(ZelIrHandle handle) {
    ImageSize size{0, 0};
    ZelIr_GetDigitArrayPara(handle, &size.width, &size.height);
    return size;
}

std::vector<uint16_t> Digits(ZelIrHandle handle, ImageSize size) {
    std::vector<uint16_t> digits(size.Pixels());
    if (digits.empty() || ZelIr_GetDigitArray(handle, digits.data(), nullptr) != 1) return {};
    return digits;
}

std::span<const uint8_t> Bytes(const std::vector<uint16_t>& digits) {
    return {reinterpret_cast<const uint8_t*>(digits.data()), digits.size() * 2};
}

bool WriteRaw(const std::string& path, std::span<const uint8_t> bytes) {
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) == 0 && written && std::rename(temporary.c_str(), path.c_str()) == 0) {
        return true;
    }
    std::remove(temporary.c_str());
    return false;
}

bool WritePng(ZelIrHandle handle, ImageSize size, const std::string& path) {
    const std::vector<uint16_t> digits = Digits(handle, size);
    if (digits.empty()) return false;
    std::vector<uint8_t> pixels(size.Pixels());
    RGBQUAD palette[256];
    ZelIr_GetCurrPalette(handle, reinterpret_cast<uint8_t*>(palette));
    if (ZelIr_DigitArrayToBmp(handle, digits.data(), pixels.data(), 0, 1, nullptr) != 1) {
        return false;
    }
    return WritePalettePng(path, pixels, palette, size);
}

}  // namespace

std::optional<ImageFormat> FormatOfPath(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    for (const FormatName& entry : kFormats) {
        if (entry.format != ImageFormat::kCombined && extension == std::string(".") + entry.name) {
            return entry.format;
        }
    }
    return std::nullopt;
}

std::optional<ImageFormat> FormatOfName(const std::string& name) {
    for (const FormatName& entry : kFormats) {
        if (name == entry.name) return entry.format;
    }
    return std::nullopt;
}

const char* FormatExtension(ImageFormat format) {
    for (const FormatName& entry : kFormats) {
        if (entry.format == format) return entry.extension;
    }
    return "bmp";
}

const char* ImageExtensionsText() {
    return "(.bmp, .png, .tif, .tiff, .npy or .raw)";
}

bool SaveFrame(ZelIrHandle handle, ImageFormat format, const std::string& path) {
    const ImageSize size = SizeOf(handle);
    switch (format) {
        case ImageFormat::kCombined:
            return ZelIr_SaveCurrImage(handle, Wide(path).c_str()) == 1;
        case ImageFormat::kBmp:
            return ZelIr_SaveCurrImageAsBmp(handle, Wide(path).c_str()) == 1;
        case ImageFormat::kPng:
            return WritePng(handle, size, path);
        case ImageFormat::kTiff: {
            const std::vector<uint16_t> digits = Digits(handle, size);
            return !digits.empty() &&
                   WriteTiff(path, Bytes(digits), 16, SAMPLEFORMAT_UINT, "digit values", size);
        }
        case ImageFormat::kNpy: {
            const std::vector<uint16_t> digits = Digits(handle, size);
            return !digits.empty() && WriteNpy(path, Bytes(digits), "<u2", size);
        }
        case ImageFormat::kRaw: {
            const std::vector<uint16_t> digits = Digits(handle, size);
            return !digits.empty() && WriteRaw(path, Bytes(digits));
        }
    }
    return false;
}

}  // namespace zelir_cli
