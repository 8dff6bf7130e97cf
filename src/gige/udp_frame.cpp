#include "gige/udp_frame.h"

#include <algorithm>
#include <cstring>

namespace zelir::gige {

uint32_t OnesComplementSum(std::span<const uint8_t> bytes, uint32_t sum) {
    size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) sum += GetBe16(&bytes[i]);
    if (i < bytes.size()) sum += uint32_t{bytes[i]} << 8;
    return sum;
}

uint16_t FoldAndComplement(uint32_t sum) {
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<uint16_t>(~sum);
}

size_t BuildUdpFrame(std::span<uint8_t, kSendBufferSize> buffer, const UdpEndpoints& ends,
                     std::span<const uint8_t> payload) {
    const size_t length = payload.size();
    // Room for the payload and, when odd, its pad byte.
    if (length + (length & 1) > kMaxUdpPayload) return 0;

    auto& h = *reinterpret_cast<UdpFrameHeader*>(buffer.data());
    std::memcpy(h.destinationMac, ends.destinationMac.data(), 6);
    std::memcpy(h.sourceMac, ends.sourceMac.data(), 6);
    PutBe16(h.etherType, 0x0800);
    h.versionAndLength = 0x45;
    h.typeOfService = 0;
    PutBe16(h.totalLength, static_cast<uint16_t>(length + 28));
    PutBe16(h.identification, 0x1122);
    PutBe16(h.flagsAndOffset, 0x4000);  // don't fragment
    h.timeToLive = 64;
    h.protocol = 17;
    PutBe16(h.headerChecksum, 0);
    std::memcpy(h.sourceAddress, &ends.sourceAddress, 4);
    std::memcpy(h.destinationAddress, &ends.destinationAddress, 4);
    PutBe16(h.sourcePort, kHostPort);
    PutBe16(h.destinationPort, kControlPort);
    PutBe16(h.udpLength, static_cast<uint16_t>(length + 8));
    PutBe16(h.udpChecksum, 0);
    std::copy(payload.begin(), payload.end(), buffer.begin() + kFrameHeaderSize);
    const size_t padded = length + (length & 1);
    if (padded != length) buffer[kFrameHeaderSize + length] = 0;

    const auto ipHeader = buffer.subspan(14, 20);
    PutBe16(h.headerChecksum, FoldAndComplement(OnesComplementSum(ipHeader)));

    // Pseudo-header: both addresses (summed in place), protocol and UDP length.
    const auto covered = buffer.subspan(26, padded + 16);
    const uint32_t sum = OnesComplementSum(covered, 17 + static_cast<uint32_t>(length + 8));
    PutBe16(h.udpChecksum, FoldAndComplement(sum));
    return length + kFrameHeaderSize;
}

}  // namespace zelir::gige
