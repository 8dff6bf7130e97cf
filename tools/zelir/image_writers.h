// Image files for other tools, through the libraries of the field (libtiff, libpng) and NumPy's
// documented .npy layout. Each file is written under a temporary name and renamed, so a failure
// leaves nothing behind.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <span>
#include <string>

namespace zelir_cli {

struct ImageSize {
    uint32_t width;
    uint32_t height;
    size_t Pixels() const { return size_t{width} * height; }
};

// NPY format 1.0, shape (height, width), C order; `descr` is NumPy's type text ("<u2", "<f4").
bool WriteNpy(const std::string& path, std::span<const uint8_t> bytes, const char* descr,
              ImageSize size);
// One sample per pixel, rows top to bottom; `sampleFormat` is SAMPLEFORMAT_UINT or _IEEEFP.
bool WriteTiff(const std::string& path, std::span<const uint8_t> bytes, uint16_t bitsPerSample,
               uint16_t sampleFormat, const char* description, ImageSize size);
// 8-bit palette PNG, rows top to bottom.
bool WritePalettePng(const std::string& path, std::span<const uint8_t> pixels,
                     const RGBQUAD (&palette)[256], ImageSize size);

}  // namespace zelir_cli
