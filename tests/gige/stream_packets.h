// Builds stream packets as a camera sends them, for reassembly tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include <zelir/zelir.h>

#include "gige/wire_format.h"

namespace zelir::test {

using Packet = std::vector<uint8_t>;

struct FrameSpec {
    uint32_t width = 640, height = 512;
    bool eightBit = false;
    uint16_t blockId = 1;
    uint32_t frameId = 1;
    bool validLine = true;
    bool window = false;
    uint16_t windowWidth = 0, windowHeight = 0, position1 = 0, position2 = 0;
};

inline uint8_t PixelByte(uint32_t frameId, size_t offset) {
    return static_cast<uint8_t>(frameId * 31 + offset * 7 + (offset >> 9));
}

inline std::vector<uint8_t> ParameterLine(const FrameSpec& f) {
    std::vector<uint8_t> line(ZELIR_PARAMETER_LINE_SIZE, 0);
    line[0] = f.validLine ? 1 : 0;
    line[2] = 100;
    line[4] = 0x34, line[5] = 0x12;  // width/height/header lines the owner keeps
    line[6] = 0x78, line[7] = 0x56;
    line[8] = 9;
    std::memcpy(&line[28], &f.frameId, 4);
    if (f.window) {
        line[56] = 1;
        std::memcpy(&line[58], &f.windowWidth, 2);
        std::memcpy(&line[60], &f.windowHeight, 2);
        std::memcpy(&line[62], &f.position1, 2);
        std::memcpy(&line[64], &f.position2, 2);
    }
    return line;
}

inline uint32_t ImageBytes(const FrameSpec& f) {
    return f.width * f.height * (f.eightBit ? 1 : 2);
}
inline uint32_t PacketCount(const FrameSpec& f) {
    return ImageBytes(f) / 1280 + 1;
}

inline Packet MakePacket(const FrameSpec& f, uint32_t k) {
    Packet p(10 + 1280, 0);
    gige::PutBe16(&p[2], f.blockId);
    p[4] = 3;
    p[5] = static_cast<uint8_t>(k >> 16);
    gige::PutBe16(&p[6], static_cast<uint16_t>(k));
    gige::PutBe16(&p[8], f.eightBit ? 0x0108 : 0x0110);
    if (k + 1 == PacketCount(f)) {
        const auto line = ParameterLine(f);
        std::memcpy(&p[10], line.data(), line.size());
    } else {
        for (size_t i = 0; i < 1280; ++i) p[10 + i] = PixelByte(f.frameId, size_t{k} * 1280 + i);
    }
    return p;
}

// Packet ids of a clean frame in order.
inline std::vector<uint32_t> InOrder(const FrameSpec& f) {
    std::vector<uint32_t> ids(PacketCount(f));
    for (uint32_t k = 0; k < ids.size(); ++k) ids[k] = k;
    return ids;
}

}  // namespace zelir::test
