#include "gige/control_channel.h"

#include <chrono>
#include <cstdio>

#include "gige/captured_frames.h"
#include "support/debug_capture.h"
#include "support/unit.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;

// The builders' state, as one camera's channel holds it: fresh for every test.
class ControlChannel : public ::testing::Test {
  protected:
    std::vector<uint8_t> Command(uint32_t length) const {
        const auto cmd = std::span<const uint8_t>(state.cmd);
        return {cmd.begin(), cmd.begin() + length};
    }
    ControlState state;
};

std::vector<uint8_t> Header(uint8_t flags, uint16_t command, uint16_t length, uint16_t id) {
    return {0x42,
            flags,
            uint8_t(command >> 8),
            uint8_t(command),
            uint8_t(length >> 8),
            uint8_t(length),
            uint8_t(id >> 8),
            uint8_t(id)};
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(ControlChannel, BuildersWriteGvcpCommands) {
    uint16_t id = state.requestCounter;
    auto next = [&id] { return id = static_cast<uint16_t>(id == 65535 ? 1 : id + 1); };

    EXPECT_EQ(BuildDiscovery(state), 8u);
    EXPECT_EQ(Command(8), Header(0x11, 0x0002, 0, next()));

    EXPECT_EQ(BuildReadRegister(state, 0x1B), 12u);
    EXPECT_EQ(Command(12), Concat(Header(0x01, 0x0080, 4, next()), {0, 0, 0, 0x1B}));

    EXPECT_EQ(BuildWriteRegister(state, 0x0A0B0C0D, 0x11223344), 16u);
    EXPECT_EQ(Command(16), Concat(Header(0x01, 0x0082, 8, next()),
                                  {0x0A, 0x0B, 0x0C, 0x0D, 0x11, 0x22, 0x33, 0x44}));

    const std::vector<uint8_t> data = {0x55, 0xAA, 0x10, 9, 0, 0, 4, 0, 7, 7, 0, 0, 0, 0, 0x1B, 0};
    EXPECT_EQ(BuildDeviceCommand(state, data.data(), 16, true), 24u);
    EXPECT_EQ(Command(24), Concat(Header(0x01, 0x8000, 16, next()), data));
    EXPECT_EQ(BuildDeviceCommand(state, data.data(), 16, false), 24u);
    EXPECT_EQ(Command(24), Concat(Header(0x00, 0x8000, 16, next()), data));
}

TEST_F(ControlChannel, DeviceCommandAbove540BytesBuildsNothing) {
    std::vector<uint8_t> data(541, 1);
    const uint16_t before = state.requestCounter;
    EXPECT_EQ(BuildDeviceCommand(state, data.data(), 541, true), 0u);
    EXPECT_EQ(BuildDeviceCommand(state, nullptr, 4, true), 0u);
    EXPECT_EQ(state.requestCounter, before);
    EXPECT_EQ(BuildDeviceCommand(state, data.data(), 540, true), 548u);
}

// The general builder writes the stream register (a register write) into a caller's buffer.
TEST_F(ControlChannel, GeneralBuilderWritesARegisterWithinTheDestination) {
    const uint32_t words[2] = {0x1B, 1};
    std::vector<uint8_t> out(17, 0xEE);
    ASSERT_EQ(BuildCommand(state, reinterpret_cast<const uint8_t*>(words), 8, 0x0082, out), 16u);
    EXPECT_EQ(GetBe16(&out[6]), state.requestCounter);
    out[6] = out[7] = 0;
    EXPECT_EQ(
        out, (std::vector<uint8_t>{0x42, 1, 0, 0x82, 0, 8, 0, 0, 0, 0, 0, 0x1B, 0, 0, 0, 1, 0xEE}));
    std::vector<uint8_t> tiny(10);
    EXPECT_EQ(BuildCommand(state, reinterpret_cast<const uint8_t*>(words), 8, 0x0082, tiny), 0u)
        << "does not fit the destination";
    EXPECT_EQ(BuildCommand(state, reinterpret_cast<const uint8_t*>(words), 4, 0x0082,
                           std::span<uint8_t>(tiny).first(0)),
              0u);
}

TEST_F(ControlChannel, CheckAckComparesTheCode) {
    DebugCapture capture;
    EXPECT_EQ(CheckAck(Ack(0, 0x0083, 7), 0x0083, 7), 1);
    EXPECT_EQ(CheckAck(Ack(0, 0x0081, 9), 0x0083, 7), 0);
    EXPECT_EQ(capture.Messages(),
              std::vector<std::string>{"ERROR: Except is (0x  83,   7), ACK is (0x  81,   9)\n"});
}

TEST_F(ControlChannel, ClosedChannelFailsBothAttempts) {
    NetInterface channel(0, 640, 512);
    DebugCapture capture;
    const uint32_t length = BuildWriteRegister(channel.Control(), 27, 1);
    EXPECT_EQ(Transact(channel, {}, 0, length, nullptr, 200), kTransactFailed);
    EXPECT_EQ(capture.Messages(), std::vector<std::string>(2, "Error:Failed to send command\n"));
}

// ReceiveReply takes what the receive thread queued; here the queue is fed directly.
class ReceiveReplyTest : public ::testing::Test {
  protected:
    void Queue(const std::vector<uint8_t>& ack) {
        channel.HandleCapturedPacket(CapturedUdp(3956, ack));
    }
    NetInterface channel{0, 640, 512};
    DebugCapture capture;
};

// The length reported is the reply's own, so that a caller can tell a reply cut to its
// capacity from a whole one.
TEST_F(ReceiveReplyTest, SkipsStaleIdsAndCopiesWithinTheDestination) {
    BuildDiscovery(channel.Control());
    const uint16_t id = channel.Control().requestCounter;
    const uint16_t stale = static_cast<uint16_t>(id == 1 ? 65535 : id - 1);
    Queue(Ack(0, 0x8001, stale, {9, 9}));
    Queue(Ack(0x0001, 0x8001, id,
              {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    std::vector<uint8_t> out(17, 0xEE);
    uint32_t length = 0;
    uint16_t gotId = 0;
    ASSERT_EQ(ReceiveReply(channel, std::span<uint8_t>(out).first(16), &length, &gotId), 1);
    EXPECT_EQ(length, 20u);
    EXPECT_EQ(gotId, id);
    EXPECT_EQ(out[15], 16);
    EXPECT_EQ(out[16], 0xEE);
    char warning[80];
    std::snprintf(warning, sizeof warning, "Warning:Unexpected ackID %#06x with reqID %#06x\n",
                  stale, id);
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{warning});
}

TEST_F(ReceiveReplyTest, AnErrorStatusFails) {
    BuildDiscovery(channel.Control());
    Queue(Ack(0x8001, 0x8001, channel.Control().requestCounter));
    EXPECT_EQ(ReceiveReply(channel, {}, nullptr, nullptr), 0);
    char error[80];
    std::snprintf(error, sizeof error, "Error:Acknowledge with reqID %u get status %#06x\n",
                  channel.Control().requestCounter, 0x8001);
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{error});
}

TEST_F(ReceiveReplyTest, SilenceEndsAtTheDeadlineAndAStaleReplyDoesNotShortenIt) {
    BuildDiscovery(channel.Control());
    const uint16_t stale = static_cast<uint16_t>(channel.Control().requestCounter + 1);
    Queue(Ack(0, 0x8001, stale));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReceiveReply(channel, {}, nullptr, nullptr), 0);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_EQ(capture.CountOf("Error:Failed to receive acknowledge\n"), 1u);
    EXPECT_GE(ms, 195);
    EXPECT_LT(ms, 400);
}

}  // namespace
