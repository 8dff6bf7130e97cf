// Framed messages: the bytes built, the descriptor pool and the parser.

#include "gige/command_message.h"
#include "support/debug_capture.h"
#include "support/unit.h"

namespace {

using namespace zelir::gige;
using Bytes = std::vector<uint8_t>;

Bytes Sent(const CommandMessage& m) {
    return Bytes(m.GetMessage(), m.GetMessage() + m.GetMessageLength());
}

struct FrameCase {
    const char* name;
    uint16_t id;
    uint8_t flag;
    Bytes data;
    bool withParameter;
    uint32_t parameter;
    Bytes expected;  // worked out by hand from the layout
};

class FrameBytes : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameBytes, AreExactlyTheLayout) {
    const FrameCase& c = GetParam();
    CommandMessage m;
    const uint32_t n = static_cast<uint32_t>(c.data.size());
    const int built = c.withParameter
                          ? m.BuildMessageWithParam(c.id, c.flag, c.data.data(), n, c.parameter)
                          : m.BuildMessage(c.id, c.flag, c.data.data(), n);
    ASSERT_EQ(built, 0);
    EXPECT_EQ(m.GetMessageLength(), n + (c.withParameter ? 16u : 12u));
    EXPECT_EQ(Sent(m), c.expected);
}

Bytes LongFrame() {
    // 300 bytes of 0xFF: the byte sum passes 65,535 and wraps (77,106 -> 0x2D32).
    Bytes b = {0x55, 0xAA, 0x10, 0x31, 0x01, 0x01, 0x2C, 0x01, 0xFF, 0xFF};
    b.insert(b.end(), 300, 0xFF);
    b.insert(b.end(), {0x32, 0x2D});
    return b;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Examples, FrameBytes,
    ::testing::Values(
        FrameCase{"query_0x0707", 0x0707, 0, {0, 0, 0, 0}, false, 0,
                  {0x55, 0xAA, 0x10, 0x09, 0x00, 0x00, 0x04, 0x00, 0x07, 0x07, 0x00, 0x00, 0x00, 0x00, 0x1B, 0x00}},
        FrameCase{"checksum_wraps", 0xFFFF, 1, Bytes(300, 0xFF), false, 0, LongFrame()},
        FrameCase{"block_with_parameter", 1929, 1, {0xAB}, true, 0x00020041,
                  {0x55, 0xAA, 0x10, 0x0A, 0x00, 0x01, 0x05, 0x00, 0x89, 0x07, 0x41, 0x00, 0x02, 0x00, 0xAB, 0x8E, 0x01}},
        FrameCase{"parameter_only", 1929, 1, {}, true, 0x12345680,
                  {0x55, 0xAA, 0x10, 0x09, 0x00, 0x01, 0x04, 0x00, 0x89, 0x07, 0x80, 0x56, 0x34, 0x12, 0xBA, 0x01}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(CommandMessage, RefusesFramesLargerThanTheSendBuffer) {
    CommandMessage m;
    const Bytes data(1013, 0x5A);
    EXPECT_EQ(m.BuildMessage(1, 1, data.data(), 1012), 0);
    EXPECT_EQ(m.GetMessageLength(), 1024);
    EXPECT_EQ(m.BuildMessage(1, 1, data.data(), 1013), -1);
    EXPECT_EQ(m.GetMessageLength(), 0) << "a refused build leaves nothing to send";
    EXPECT_EQ(m.BuildMessageWithParam(1, 1, data.data(), 1009, 0), -1);
    EXPECT_EQ(m.BuildMessageWithParam(1, 1, data.data(), 1008, 0), 0);
    EXPECT_EQ(m.GetMessageLength(), 1024);
}

TEST(CommandMessage, DescriptorPoolAllowsTwoAndSaysWhy) {
    zelir::test::DebugCapture capture;
    CommandMessage m;
    EXPECT_EQ(m.AllocDescriptor(0), nullptr);
    MessageDescriptor* second = m.AllocDescriptor(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(m.AllocDescriptor(1), nullptr);
    EXPECT_EQ(m.DescriptorsInUse(), 2);
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{"descriptor has been used\n",
                                                            "descriptors all be occupied\n"}));
    EXPECT_EQ(m.FreeDescriptor(1), 0);
    EXPECT_EQ(m.DescriptorsInUse(), 1);
}

// ---- receiving side ----

Bytes Frame(uint16_t id, const Bytes& data) {
    CommandMessage m;
    m.BuildMessage(id, 0, data.data(), static_cast<uint32_t>(data.size()));
    return Sent(m);
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct ParseCase {
    const char* name;
    Bytes input;
    uint16_t status;
    std::vector<std::string> messages;
};

Bytes Good() {
    return Frame(1826, {0x11, 0x22, 0x33, 0x44});
}
Bytes FirstBytes(const Bytes& b, size_t n) {
    return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
}
Bytes BadChecksum() {
    Bytes b = Good();
    b.back() ^= 0x01;
    return b;
}

class Parser : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Parser, ReportsTheLastMessageInTheBuffer) {
    const ParseCase& c = GetParam();
    CommandMessage m;
    MessageDescriptor& d = *m.Descriptor(0);
    ASSERT_EQ(m.AppendReceived(d, c.input.data(), 0, static_cast<uint32_t>(c.input.size())), 0);
    zelir::test::DebugCapture capture;
    EXPECT_EQ(m.ParseMessage(d), c.status);
    EXPECT_EQ(capture.Messages(), c.messages);
    EXPECT_EQ(CommandMessage::BytesAvailable(d), 0) << "every byte is consumed";
}

const std::string kNoPrefix = "Failed to find prefix\n";
const std::string kIncomplete = "Can not get all data of packet\n";
const std::string kChecksum = "Invalid checksum\n";

INSTANTIATE_TEST_SUITE_P(
    Statuses, Parser,
    ::testing::Values(ParseCase{"no_prefix_byte", {0x01, 0x02, 0xAA, 0x10}, 0x8007, {kNoPrefix}},
                      ParseCase{"junk_then_good", Bytes{0x00, 0x55, 0x13} + Good(), 0, {}},
                      ParseCase{"bad_checksum", BadChecksum(), 0x8003, {kChecksum}},
                      ParseCase{"cut_in_header", FirstBytes(Good(), 7), 0x8006, {kIncomplete}},
                      ParseCase{"cut_in_data", FirstBytes(Good(), 12), 0x8003, {kChecksum}},
                      ParseCase{"good_then_bad", Good() + BadChecksum(), 0x8003, {kChecksum}},
                      ParseCase{"length_below_header",
                                {0x55, 0xAA, 0x10, 0x04, 0x00, 0x00},
                                0x8003,
                                {kChecksum}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandMessageParser, DataOfTheLastMessageLandsInTheDataBuffer) {
    CommandMessage m;
    MessageDescriptor& d = *m.Descriptor(0);
    const Bytes first = Frame(1, {9, 9, 9, 9, 9, 9});
    const Bytes second = Frame(2, {1, 2, 3});
    const Bytes both = first + second;
    m.AppendReceived(d, both.data(), 0, static_cast<uint32_t>(both.size()));
    ASSERT_EQ(m.ParseMessage(d), 0);
    EXPECT_EQ(Bytes(d.data.get(), d.data.get() + 4), (Bytes{1, 2, 3, 9}));
}

TEST(CommandMessageParser, UnreadBytesMoveToTheFrontPastIndex6144) {
    CommandMessage m;
    MessageDescriptor& d = *m.Descriptor(0);
    const Bytes junk(100, 0x00);
    m.AppendReceived(d, junk.data(), 0, 100);
    m.ParseMessage(d);  // consumes the 100 bytes: read index 100

    Bytes more(6100 - Good().size(), 0x00);
    more = more + Good();
    // Source offset: the bytes are taken from `offset` on.
    Bytes source = Bytes(7, 0xEE) + more;
    ASSERT_EQ(m.AppendReceived(d, source.data(), 7, static_cast<uint32_t>(more.size())), 0);
    EXPECT_EQ(m.ParseMessage(d), 0);
    EXPECT_EQ(Bytes(d.data.get(), d.data.get() + 4), (Bytes{0x11, 0x22, 0x33, 0x44}));
}

TEST(CommandMessageParser, AFullReceiveBufferDropsWhatDoesNotFit) {
    CommandMessage m;
    MessageDescriptor& d = *m.Descriptor(0);
    Bytes bytes(9000);
    std::iota(bytes.begin(), bytes.end(), 0);
    EXPECT_EQ(m.AppendReceived(d, bytes.data(), 0, 9000), -1);
    EXPECT_EQ(CommandMessage::BytesAvailable(d), 8192);
    EXPECT_EQ(d.receiveFree, 0);
    EXPECT_EQ(d.receive[8191], bytes[8191]);
}

}  // namespace
