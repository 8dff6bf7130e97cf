// Field writers for the emulator's packets.
#pragma once

#include <cstdint>
#include <cstring>

namespace camsim {

inline void PutBe16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
inline void PutBe32(uint8_t* p, uint32_t v) {
    PutBe16(p, uint16_t(v >> 16));
    PutBe16(p + 2, uint16_t(v));
}
inline uint16_t GetBe16(const uint8_t* p) {
    return uint16_t(p[0] << 8 | p[1]);
}
inline uint32_t GetBe32(const uint8_t* p) {
    return uint32_t(GetBe16(p)) << 16 | GetBe16(p + 2);
}
inline void PutLe16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t v) {
    PutLe16(p, uint16_t(v));
    PutLe16(p + 2, uint16_t(v >> 16));
}
inline uint16_t GetLe16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

}  // namespace camsim
