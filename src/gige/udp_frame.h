// Builds complete Ethernet II / IPv4 / UDP frames with both checksums.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "gige/wire_format.h"

namespace zelir::gige {

using MacAddress = std::array<uint8_t, 6>;

struct UdpEndpoints {
    MacAddress sourceMac;
    MacAddress destinationMac;
    uint32_t sourceAddress;       // network byte order
    uint32_t destinationAddress;  // network byte order
};

// One's-complement sum of big-endian 16-bit words (an odd last byte counts as its high half),
// carries not yet folded.
uint32_t OnesComplementSum(std::span<const uint8_t> bytes, uint32_t sum = 0);
uint16_t FoldAndComplement(uint32_t sum);

// Writes the frame into buffer and returns the number of bytes to send (payload + 42), or 0
// when the payload does not fit the buffer. An odd payload is followed by one zero byte that
// the UDP checksum covers but that is not sent.
size_t BuildUdpFrame(std::span<uint8_t, kSendBufferSize> buffer, const UdpEndpoints& endpoints,
                     std::span<const uint8_t> payload);

}  // namespace zelir::gige
