#include "formats/avi_pixel_convert.h"

#include <algorithm>

namespace zelir {
namespace {

uint8_t Widen5(unsigned value) {
    return static_cast<uint8_t>(value << 3 | value >> 2);
}

}  // namespace

void Rgb555ToBgr(std::span<const uint8_t> words, std::span<uint8_t> bgr) {
    const size_t count = std::min(words.size() / 2, bgr.size() / 3);
    for (size_t i = 0; i < count; ++i) {
        const unsigned word = words[2 * i] | unsigned{words[2 * i + 1]} << 8;
        bgr[3 * i] = Widen5(word & 0x1F);
        bgr[3 * i + 1] = Widen5((word >> 5) & 0x1F);
        bgr[3 * i + 2] = Widen5((word >> 10) & 0x1F);
    }
}

void BgraToBgr(std::span<const uint8_t> bgra, std::span<uint8_t> bgr) {
    const size_t count = std::min(bgra.size() / 4, bgr.size() / 3);
    for (size_t i = 0; i < count; ++i) std::copy_n(&bgra[4 * i], 3, &bgr[3 * i]);
}

}  // namespace zelir
