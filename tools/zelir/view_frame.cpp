#include "view_frame.h"

#include <cstring>

namespace zelir_cli {

size_t ViewMessageBytes(uint32_t width, uint32_t height) {
    const size_t pixels = size_t{width} * height;
    return sizeof(ViewFrameHeader) + kViewPaletteBytes + pixels + pixels * sizeof(uint16_t);
}

ViewMessage PackViewFrame(const ViewFrameHeader& header, std::span<const uint8_t> palette,
                          std::span<const uint8_t> image, std::span<const uint16_t> digits) {
    const size_t pixels = size_t{header.width} * header.height;
    if (palette.size() != kViewPaletteBytes || image.size() != pixels || digits.size() != pixels) {
        return nullptr;
    }
    auto message =
        std::make_shared<std::vector<uint8_t>>(ViewMessageBytes(header.width, header.height));
    uint8_t* out = message->data();
    ViewFrameHeader stamped = header;
    stamped.magic = kViewFrameMagic;
    stamped.headerBytes = sizeof(ViewFrameHeader);
    std::memcpy(out, &stamped, sizeof(stamped));
    out += sizeof(stamped);
    std::memcpy(out, palette.data(), palette.size());
    out += palette.size();
    std::memcpy(out, image.data(), image.size());
    out += image.size();
    std::memcpy(out, digits.data(), digits.size_bytes());
    return message;
}

}  // namespace zelir_cli
