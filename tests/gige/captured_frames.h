// Captured Ethernet frames as the receive thread sees them, for tests without an adapter.
#pragma once

#include <cstdint>
#include <vector>

#include "gige/wire_format.h"

namespace zelir::test {

// A UDP frame from the camera (198.18.0.2, MAC 02:00:00:00:00:02) to the host.
inline std::vector<uint8_t> CapturedUdp(uint16_t sourcePort, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> f(42 + payload.size(), 0);
    const uint8_t mac[6] = {0x02, 0, 0, 0, 0, 0x02};
    std::copy(mac, mac + 6, f.begin() + 6);
    f[12] = 0x08;
    f[14] = 0x45;
    f[23] = 17;
    const uint8_t addresses[8] = {198, 18, 0, 2, 198, 18, 0, 1};
    std::copy(addresses, addresses + 8, f.begin() + 26);
    gige::PutBe16(&f[34], sourcePort);
    gige::PutBe16(&f[36], 3955);
    std::copy(payload.begin(), payload.end(), f.begin() + 42);
    return f;
}

// A GVCP acknowledgement payload.
inline std::vector<uint8_t> Ack(uint16_t status, uint16_t code, uint16_t id,
                                const std::vector<uint8_t>& data = {}) {
    std::vector<uint8_t> a(8);
    gige::PutBe16(&a[0], status);
    gige::PutBe16(&a[2], code);
    gige::PutBe16(&a[4], static_cast<uint16_t>(data.size()));
    gige::PutBe16(&a[6], id);
    a.insert(a.end(), data.begin(), data.end());
    return a;
}

}  // namespace zelir::test
