#include "float_image_files.h"

#include <tiffio.h>

#include "image_writers.h"

namespace zelir_cli {
namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::span<const uint8_t> Bytes(std::span<const float> values, uint32_t width, uint32_t height) {
    return {reinterpret_cast<const uint8_t*>(values.data()),
            size_t{width} * height * sizeof(float)};
}

}  // namespace

bool WriteNpy(const std::string& path, std::span<const float> values, uint32_t width,
              uint32_t height) {
    if (values.size() < std::size_t{width} * height) return false;
    return WriteNpy(path, Bytes(values, width, height), "<f4", {width, height});
}

bool WriteFloatTiff(const std::string& path, std::span<const float> values, uint32_t width,
                    uint32_t height) {
    if (values.size() < std::size_t{width} * height) return false;
    return WriteTiff(path, Bytes(values, width, height), 32, SAMPLEFORMAT_IEEEFP,
                     "temperature, degrees Celsius", {width, height});
}

bool IsFloatImagePath(const std::string& path) {
    return EndsWith(path, ".npy") || EndsWith(path, ".tif") || EndsWith(path, ".tiff");
}

bool WriteFloatImage(const std::string& path, std::span<const float> values, uint32_t width,
                     uint32_t height) {
    if (EndsWith(path, ".npy")) return WriteNpy(path, values, width, height);
    if (IsFloatImagePath(path)) return WriteFloatTiff(path, values, width, height);
    return false;
}

}  // namespace zelir_cli
