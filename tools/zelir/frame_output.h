// Writing the current frame of a handle as a file, in the format its name's extension names.
#pragma once

#include <zelir/zelir.h>

#include <optional>
#include <string>

namespace zelir_cli {

enum class ImageFormat {
    kBmp,       // 8-bit palette BMP of the display mapping
    kPng,       // the same image as a palette PNG
    kTiff,      // 16-bit digit values
    kNpy,       // 16-bit digit values as a NumPy array (height, width)
    kRaw,       // bare 16-bit digit values
    kCombined,  // combined image: PATH (BMP, raw frame, parameter block) and PATH.raw
};

// The format an output file's extension names (.bmp .png .tif .tiff .npy .raw); nullopt for
// any other.
std::optional<ImageFormat> FormatOfPath(const std::string& path);
// A --format word: bmp, png, tif, npy, raw or combined.
std::optional<ImageFormat> FormatOfName(const std::string& name);
const char* FormatExtension(ImageFormat format);
// "(.bmp, .png, .tif, .tiff, .npy or .raw)" for messages.
const char* ImageExtensionsText();

// Writes the handle's current frame; nothing is left behind on failure.
bool SaveFrame(ZelIrHandle handle, ImageFormat format, const std::string& path);

}  // namespace zelir_cli
