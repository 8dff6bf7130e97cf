// Frames for the AVI tests and benchmark: a thermal-looking 8-bit scene and its palettes.
#pragma once

#include <zelir/zelir.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zelir_test {

// An 8-bit BITMAPINFO with its whole palette behind the header.
struct PaletteFormat {
    BITMAPINFOHEADER header{};
    std::array<RGBQUAD, 256> palette{};

    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};

inline PaletteFormat MakeFormat(int width, int height, uint16_t bitCount = 8) {
    PaletteFormat format;
    format.header.biSize = sizeof(BITMAPINFOHEADER);
    format.header.biWidth = width;
    format.header.biHeight = height;
    format.header.biPlanes = 1;
    format.header.biBitCount = bitCount;
    format.header.biSizeImage = static_cast<uint32_t>(width * std::abs(height) * (bitCount / 8));
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        format.palette[i] = RGBQUAD{v, v, v, 0};
    }
    return format;
}

// A smooth "iron" palette: black through blue, red and yellow to white.
inline void UseIronPalette(PaletteFormat& format) {
    for (int i = 0; i < 256; ++i) {
        const auto clamp = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
        format.palette[i] =
            RGBQUAD{clamp(i < 96 ? i * 2 : 192 - (i - 96) * 2 + std::max(0, i - 200) * 4),
                    clamp((i - 100) * 2), clamp(i * 2 - 20), 0};
    }
}

// Frame `k` of a scene: a warm object moving over a gradient, with fixed-pattern noise.
inline std::vector<uint8_t> SceneFrame(int width, int height, int k) {
    std::vector<uint8_t> frame(static_cast<size_t>(width) * height);
    const double cx = width * (0.25 + 0.02 * k), cy = height * 0.35;
    const double radius = std::max(4.0, width / 10.0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = x - cx, dy = y - cy;
            const double warm = 90.0 * std::exp(-(dx * dx + dy * dy) / (2 * radius * radius));
            const uint32_t hash = static_cast<uint32_t>(x * 73856093u ^ y * 19349663u);
            const double noise = static_cast<double>(hash % 7) - 3.0;
            const double value = 40.0 + 100.0 * x / width + 20.0 * y / height + warm + noise;
            frame[static_cast<size_t>(y) * width + x] =
                static_cast<uint8_t>(std::clamp(value, 0.0, 255.0));
        }
    }
    return frame;
}

// The 24-bit BGR picture of an 8-bit frame, top row first whatever the frame's row order.
inline std::vector<uint8_t> ExpectedPicture(const std::vector<uint8_t>& indices,
                                            const PaletteFormat& format) {
    const int width = format.header.biWidth;
    const int height = std::abs(format.header.biHeight);
    const bool bottomUp = format.header.biHeight > 0;
    std::vector<uint8_t> picture(indices.size() * 3);
    for (int y = 0; y < height; ++y) {
        const int source = bottomUp ? height - 1 - y : y;
        for (int x = 0; x < width; ++x) {
            const RGBQUAD& entry = format.palette[indices[static_cast<size_t>(source) * width + x]];
            uint8_t* out = &picture[(static_cast<size_t>(y) * width + x) * 3];
            out[0] = entry.rgbBlue;
            out[1] = entry.rgbGreen;
            out[2] = entry.rgbRed;
        }
    }
    return picture;
}

}  // namespace zelir_test
