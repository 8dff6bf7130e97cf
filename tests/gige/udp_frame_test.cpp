#include "gige/udp_frame.h"

#include <arpa/inet.h>

#include "support/unit.h"

namespace {

using namespace zelir::gige;

// Internet checksum verification as a receiver does it: summing a header or segment that
// includes a correct checksum gives 0xFFFF.
uint16_t ReceiverSum(const std::vector<uint8_t>& bytes) {
    uint32_t sum = 0;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const uint32_t hi = bytes[i];
        const uint32_t lo = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        sum += (hi << 8) + lo;
    }
    while (sum > 0xFFFF) sum = (sum >> 16) + (sum & 0xFFFF);
    return static_cast<uint16_t>(sum);
}

class UdpFrameLayout : public ::testing::TestWithParam<size_t> {};

TEST_P(UdpFrameLayout, LengthsPayloadAndChecksums) {
    const size_t length = GetParam();
    std::vector<uint8_t> payload(length);
    for (size_t i = 0; i < length; ++i) payload[i] = static_cast<uint8_t>(0xA5 ^ (i * 13));
    const UdpEndpoints ends{{0x02, 0x11, 0x22, 0x33, 0x44, 0x55},
                            {0x0A, 0xBB, 0xCC, 0xDD, 0xEE, 0xF0},
                            inet_addr("198.18.0.1"),
                            inet_addr("198.18.0.2")};
    std::array<uint8_t, kSendBufferSize> buffer;
    buffer.fill(0xCC);
    const size_t sent = BuildUdpFrame(buffer, ends, payload);
    ASSERT_EQ(sent, length + 42);

    const std::vector<uint8_t> frame(buffer.begin(), buffer.begin() + sent);
    const auto at = [&frame](size_t from, size_t to) {
        return std::vector<uint8_t>(frame.begin() + from, frame.begin() + to);
    };
    const auto be16 = [](size_t v) { return std::vector<uint8_t>{uint8_t(v >> 8), uint8_t(v)}; };
    // The lengths and the payload; every send in the namespace tests proves the other fields.
    EXPECT_EQ(at(16, 18), be16(length + 28));
    EXPECT_EQ(at(38, 40), be16(length + 8));
    EXPECT_EQ(at(42, sent), payload);

    // IPv4 header verifies on its own.
    EXPECT_EQ(ReceiverSum({frame.begin() + 14, frame.begin() + 34}), 0xFFFF);
    // UDP: pseudo-header (addresses, zero, protocol, UDP length) then the segment; an odd
    // segment is padded with a zero that is not sent.
    std::vector<uint8_t> pseudo(frame.begin() + 26, frame.begin() + 34);
    for (uint8_t b : {uint8_t(0), uint8_t(17), uint8_t((length + 8) >> 8), uint8_t(length + 8)})
        pseudo.push_back(b);
    pseudo.insert(pseudo.end(), frame.begin() + 34, frame.end());
    if (length % 2) {
        pseudo.push_back(0);
        EXPECT_EQ(buffer[sent], 0) << "pad byte";
    }
    EXPECT_EQ(ReceiverSum(pseudo), 0xFFFF);
}

INSTANTIATE_TEST_SUITE_P(Lengths, UdpFrameLayout, ::testing::Values(0, 1, 1493, 1494));

TEST(UdpFrame, RefusesPayloadsBeyondTheSendBuffer) {
    std::array<uint8_t, kSendBufferSize> buffer{};
    const std::vector<uint8_t> payload(1495, 1);
    EXPECT_EQ(BuildUdpFrame(buffer, UdpEndpoints{}, payload), 0u);
}

}  // namespace
