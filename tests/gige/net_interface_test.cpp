// The channel's receive-side sorting and message queue, fed with captured frames directly.
#include "gige/net_interface.h"

#include "gige/captured_frames.h"
#include "support/debug_capture.h"
#include "support/unit.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;

TEST(NetInterface, ControlRepliesAreQueuedWithTheirAddresses) {
    NetInterface channel(0, 640, 512);
    const std::vector<uint8_t> payload = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    channel.HandleCapturedPacket(CapturedUdp(3956, payload));

    uint8_t out[16] = {};
    uint32_t address = 0, length = 0;
    uint16_t port = 0;
    uint8_t mac[6] = {};
    ASSERT_EQ(channel.WaitMessage(out, sizeof out, &address, &port, mac, 0, &length), 0);
    EXPECT_EQ(length, 9u);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), out));
    const uint8_t expectedAddress[4] = {198, 18, 0, 2};
    EXPECT_EQ(std::memcmp(&address, expectedAddress, 4), 0);
    EXPECT_EQ(port, 3956);
    EXPECT_EQ(mac[0], 0x02);
    EXPECT_EQ(mac[5], 0x02);
}

TEST(NetInterface, PayloadIsCutToTheCallersCapacity) {
    NetInterface channel(0, 640, 512);
    std::vector<uint8_t> payload(40);
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i + 1);
    channel.HandleCapturedPacket(CapturedUdp(3956, payload));
    uint8_t out[12];
    std::memset(out, 0xEE, sizeof out);
    uint32_t length = 0;
    ASSERT_EQ(channel.WaitMessage(out, 8, nullptr, nullptr, nullptr, 0, &length), 0);
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(out[7], 8);
    EXPECT_EQ(out[8], 0xEE) << "nothing written past the capacity";
}

TEST(NetInterface, OtherPortsAndRuntFramesAreInvalid) {
    NetInterface channel(0, 640, 512);
    DebugCapture capture;
    channel.HandleCapturedPacket(CapturedUdp(3957, {0x42}));
    channel.HandleCapturedPacket(std::vector<uint8_t>(30, 0));
    EXPECT_EQ(capture.CountOf("invalid gev packet\n"), 2u);
    EXPECT_EQ(channel.MessageQueue().IsEmpty(), 1);
}

TEST(NetInterface, FullQueueDropsTheNewestAndKeepsOrder) {
    NetInterface channel(0, 640, 512);
    DebugCapture capture;
    for (uint16_t n = 1; n <= 513; ++n)
        channel.HandleCapturedPacket(CapturedUdp(3956, Ack(0, 0x83, n)));
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{"message queue is full\n"});
    for (uint16_t n = 1; n <= 512; ++n) {
        uint8_t ack[8];
        ASSERT_EQ(channel.WaitMessage(ack, sizeof ack, nullptr, nullptr, nullptr, 0), 0);
        ASSERT_EQ(GetBe16(&ack[6]), n);
    }
    EXPECT_EQ(channel.MessageQueue().IsEmpty(), 1);
}

}  // namespace
