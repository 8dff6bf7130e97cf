// Writing frames of floats (degrees Celsius) for other tools: NumPy's .npy and 32-bit float TIFF.
// Each file is written under a temporary name and renamed, so a failure leaves nothing behind.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zelir_cli {

// NPY format 1.0: little-endian float32, shape (height, width), C order.
bool WriteNpy(const std::string& path, std::span<const float> values, uint32_t width,
              uint32_t height);
// One sample per pixel, IEEE float, rows top to bottom.
bool WriteFloatTiff(const std::string& path, std::span<const float> values, uint32_t width,
                    uint32_t height);
// By extension: ".npy", ".tif" or ".tiff"; false for any other.
bool WriteFloatImage(const std::string& path, std::span<const float> values, uint32_t width,
                     uint32_t height);
bool IsFloatImagePath(const std::string& path);

}  // namespace zelir_cli
