#include "device_commands.h"

#include <cstring>

#include "byte_order.h"

namespace camsim {
namespace {

constexpr uint16_t kFrameFrequency = 1868;
constexpr uint16_t kExposureTime = 1826;
constexpr size_t kHeader = 10;
constexpr size_t kChecksum = 2;

struct FramedMessage {
    uint8_t flag;
    uint16_t id;
    std::span<const uint8_t> data;
};

bool Parse(std::span<const uint8_t> m, FramedMessage& out) {
    if (m.size() < kHeader + kChecksum || m[0] != 0x55 || m[1] != 0xAA || m[2] != 0x10)
        return false;
    const size_t n = GetLe16(&m[6]);
    if (GetLe16(&m[3]) != n + 5) return false;
    if (kHeader + n + kChecksum > m.size()) return false;
    uint16_t sum = 0;
    for (size_t i = 3; i < kHeader + n; ++i) sum = static_cast<uint16_t>(sum + m[i]);
    if (sum != GetLe16(&m[kHeader + n])) return false;
    out = FramedMessage{m[5], GetLe16(&m[8]), m.subspan(kHeader, n)};
    return true;
}

std::vector<uint8_t> Words(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> bytes(values.size() * 4);
    size_t at = 0;
    for (uint32_t v : values) PutLe32(&bytes[(at++) * 4], v);
    return bytes;
}

uint32_t FloatBits(float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

DeviceCommands::DeviceCommands(float frameRate) {
    // Current, lowest and highest value.
    settings_[kFrameFrequency] = Words({FloatBits(frameRate), FloatBits(1.0f), FloatBits(60.0f)});
    settings_[kExposureTime] = Words({1200, 10, 20000});
}

uint16_t DeviceCommands::Handle(std::span<const uint8_t> message, std::vector<uint8_t>& reply) {
    reply.clear();
    FramedMessage m{};
    if (!Parse(message, m)) return kStatusInvalidParameter;
    std::vector<uint8_t>& value = settings_[m.id];
    if (m.flag == 1) {
        // A write replaces the current value, which leads the stored bytes.
        if (value.size() < m.data.size()) value.resize(m.data.size());
        std::copy(m.data.begin(), m.data.end(), value.begin());
        return kStatusOk;
    }
    if (value.empty()) value.assign(4, 0);
    reply = value;
    return kStatusOk;
}

}  // namespace camsim
