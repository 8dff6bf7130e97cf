// Packet and control channel against zelir-camsim, inside the network namespaces.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "gige/control_channel.h"
#include "support/debug_capture.h"
#include "support/net_adapters.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;

constexpr uint32_t kTestRegister = 0x0A00;

class NetChannel : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnumerateAdapters(); }

    void SetUp() override {
        ASSERT_EQ(admin_.Send("reset"), "ok");
        const int index = AdapterIndex("zh0");
        ASSERT_GE(index, 0) << "zh0 not in the adapter table";
        camera_ = {CameraMac("zc0"), inet_addr("198.18.0.2")};
        ASSERT_EQ(channel_.OpenAdapter(static_cast<uint32_t>(index), &camera_), 0);
        target_ = {&channel_, camera_};
    }
    void TearDown() override {
        admin_.Send("reset");
        channel_.Stop();
    }

    CamsimAdmin admin_;
    CameraEndpoint camera_{};
    NetInterface channel_{0, 640, 512};
    ControlTarget target_{};
};

std::string Format(const char* format, unsigned a, unsigned b) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

TEST(NetAdapters, HostInterfacesAreListedWithTheirOwnAddresses) {
    ASSERT_EQ(EnumerateAdapters(), 0);
    EXPECT_EQ(AdapterCount(), 2u) << "only zh0 and zh1 can carry a camera in zelir-h";
    for (const char* name : {"zh0", "zh1"}) {
        const int k = AdapterIndex(name);
        ASSERT_GE(k, 0) << name;
        const auto a = GetAdapter(static_cast<uint32_t>(k));
        EXPECT_EQ(a->index, k);
        const MacAddress mac = HostMac(name);
        EXPECT_TRUE(std::equal(mac.begin(), mac.end(), a->mac)) << name;
        EXPECT_EQ(a->address, inet_addr(name[2] == '0' ? "198.18.0.1" : "198.19.0.1"));
        EXPECT_EQ(a->netmask, inet_addr("255.255.255.0"));
    }
}

TEST(NetDiscovery, EachAdapterFindsItsOwnEmulator) {
    ASSERT_EQ(EnumerateAdapters(), 0);
    for (const char* name : {"zh0", "zh1"}) {
        const int k = AdapterIndex(name);
        ASSERT_GE(k, 0);
        DebugCapture capture;
        NetInterface channel(static_cast<uint32_t>(k), 640, 512);
        ASSERT_EQ(channel.OpenAdapter(static_cast<uint32_t>(k), nullptr), 0);
        EXPECT_STREQ(channel.FilterText(), "(ip and udp) and (src port 3956)");
        channel.FlushMessages();
        const uint32_t length = BuildDiscovery(channel.Control());
        uint32_t dataLength = 0;
        const MacAddress broadcast = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        ASSERT_EQ(Transact(channel, broadcast, 0xFFFFFFFF, length, &dataLength, 300), 0) << name;
        EXPECT_EQ(dataLength, 248u);

        const auto ack = std::span<const uint8_t>(channel.Control().reply);
        EXPECT_EQ(CheckAck(ack, 0x0003, channel.Control().requestCounter), 1);
        EXPECT_EQ(GetBe16(&ack[discovery_ack::kHeight]), 512);
        EXPECT_EQ(GetBe16(&ack[discovery_ack::kWidth]), 640);
        const std::string cam = name[2] == '0' ? "zc0" : "zc1";
        const MacAddress mac = CameraMac(cam);
        EXPECT_TRUE(std::equal(mac.begin(), mac.end(), &ack[discovery_ack::kMac]));
        uint32_t address = 0;
        std::memcpy(&address, &ack[discovery_ack::kAddress], 4);
        EXPECT_EQ(address, inet_addr(name[2] == '0' ? "198.18.0.2" : "198.19.0.2"));
        const std::string serial(reinterpret_cast<const char*>(&ack[discovery_ack::kSerial]), 8);
        EXPECT_EQ(serial, name[2] == '0' ? "ZS000000" : "ZS000001");
        EXPECT_STREQ(reinterpret_cast<const char*>(&ack[discovery_ack::kManufacturer]), "ZelIr");
        EXPECT_STREQ(reinterpret_cast<const char*>(&ack[discovery_ack::kModel]), "G003L");
        channel.Stop();
        const auto messages = capture.Messages();
        const std::vector<std::string> lifecycle = {"adapter" + std::to_string(k) + " opened\n",
                                                    "receive thread started\n",
                                                    "!!!!!receive thread End \n"};
        EXPECT_EQ(messages, lifecycle);
    }
}

// Frames as they reach the camera's interface, dissected by tshark: built here on the capture
// transport (fixed identification, source port 3955, both checksums), by the kernel on the
// socket transport.
TEST_F(NetChannel, FramesOnTheWireCarryValidChecksums) {
    const std::string out = "/tmp/zelir-net-wire.txt";
    std::remove(out.c_str());
    const std::string tshark =
        "ip netns exec zelir-c timeout 20 tshark -i zc0 -f 'udp dst port 3956 and not udp[8] = "
        "0x42' -c 4 -o ip.check_checksum:TRUE -o udp.check_checksum:TRUE -T fields -E "
        "separator=, -e frame.len -e eth.src -e eth.dst -e ip.len -e ip.flags.df -e ip.ttl "
        "-e ip.checksum.status -e udp.length -e data.data -e udp.checksum.status -e ip.id "
        "-e udp.srcport >" +
        out + " 2>/tmp/zelir-net-wire.err &";
    ASSERT_EQ(std::system(tshark.c_str()), 0);
    for (int i = 0; i < 100 && RunCommand("cat /tmp/zelir-net-wire.err").find("Capturing on") ==
                                   std::string::npos;
         ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // A discovery channel: on the capture transport it injects the frames it builds.
    channel_.Stop();
    NetInterface probe(0, 640, 512);
    ASSERT_EQ(probe.OpenAdapter(static_cast<uint32_t>(AdapterIndex("zh0")), nullptr), 0);
    // The largest fits the veth MTU (1500 bytes of IPv4).
    const std::vector<size_t> lengths = {7, 8, 301, 1471};
    std::vector<std::vector<uint8_t>> payloads;
    for (size_t length : lengths) {
        std::vector<uint8_t> p(length);
        for (size_t i = 0; i < length; ++i) p[i] = static_cast<uint8_t>(0x10 + i * 3);
        ASSERT_EQ(probe.SendUdp(p, camera_.mac, camera_.address), 0);
        payloads.push_back(p);
    }
    for (int i = 0; i < 100 && std::stoi("0" + RunCommand("wc -l <" + out)) < 4; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::ifstream in(out);
    const MacAddress host = HostMac("zh0");
    char hostText[18], camText[18];
    std::snprintf(hostText, sizeof hostText, "%02x:%02x:%02x:%02x:%02x:%02x", host[0], host[1],
                  host[2], host[3], host[4], host[5]);
    std::snprintf(camText, sizeof camText, "%02x:%02x:%02x:%02x:%02x:%02x", camera_.mac[0],
                  camera_.mac[1], camera_.mac[2], camera_.mac[3], camera_.mac[4], camera_.mac[5]);
    for (size_t n = 0; n < lengths.size(); ++n) {
        std::string line;
        ASSERT_TRUE(std::getline(in, line)) << "frame " << n << " not captured";
        std::string hex;
        for (uint8_t b : payloads[n]) {
            char h[3];
            std::snprintf(h, sizeof h, "%02x", b);
            hex += h;
        }
        const size_t L = lengths[n];
        std::ostringstream expected;
        expected << L + 42 << ',' << hostText << ',' << camText << ',' << L + 28 << ",1,64,1,"
                 << L + 8 << ',' << hex << ',';
        EXPECT_EQ(line.substr(0, expected.str().size()), expected.str()) << "payload of " << L;
        // The kernel leaves the UDP checksum of its own frames to the (virtual) interface.
        if (!OnSocketTransport()) {
            EXPECT_EQ(line.substr(expected.str().size()), "1,0x1122,3955");
        }
    }
}

TEST_F(NetChannel, RegistersRoundTripAcrossTheRequestIdWrap) {
    while (channel_.Control().requestCounter != 65533) BuildDiscovery(channel_.Control());
    for (uint32_t value : {0x11111111u, 0x22222222u, 0x33333333u}) {
        ASSERT_EQ(WriteRegister(target_, kTestRegister, value), 0);
        const uint16_t writeId = channel_.Control().requestCounter;
        uint32_t read = 0;
        ASSERT_EQ(ReadRegister(target_, kTestRegister, &read), 0);
        EXPECT_EQ(read, value) << "ids " << writeId << ", " << channel_.Control().requestCounter;
    }
    EXPECT_EQ(channel_.Control().requestCounter, 4) << "65534, 65535, 1, 2, 3, 4";
}

TEST_F(NetChannel, SilentCameraIsTriedTwice) {
    ASSERT_EQ(admin_.Send("set --silent"), "ok");
    DebugCapture capture;
    const auto start = std::chrono::steady_clock::now();
    const uint32_t length = BuildWriteRegister(channel_.Control(), kTestRegister, 1);
    EXPECT_EQ(Transact(channel_, camera_.mac, camera_.address, length, nullptr, 300),
              kTransactFailed);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_GE(ms, 590);
    EXPECT_LT(ms, 900);
    const auto messages = capture.Messages();
    ASSERT_EQ(messages.size(), 2u);
    const std::string prefix = "Error:Failed to receive acknowledge,time elapsed ";
    for (const std::string& m : messages) {
        ASSERT_EQ(m.rfind(prefix, 0), 0u) << m;
        size_t digits = 0;
        const int elapsed = std::stoi(m.substr(prefix.size()), &digits);
        EXPECT_EQ(m.substr(prefix.size() + digits), " ms\n");
        EXPECT_NEAR(elapsed, 300, 20);
    }
}

TEST_F(NetChannel, StaleAcknowledgementsAreSkipped) {
    // The emulator acknowledges device commands even when no acknowledgement was asked for.
    const uint8_t message[16] = {0x55, 0xAA, 0x10, 9, 0, 0, 4, 0, 7, 7, 0, 0, 0, 0, 0x1B, 0};
    ASSERT_TRUE(SendDeviceCommand(target_, message, sizeof message));
    const uint16_t staleId = channel_.Control().requestCounter;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    DebugCapture capture;
    ASSERT_EQ(WriteRegister(target_, kTestRegister, 5), 0);
    EXPECT_EQ(capture.Messages(),
              std::vector<std::string>{Format("Warning:Unexpected ackID %#06x with reqID %#06x\n",
                                              staleId, channel_.Control().requestCounter)});

    // An answer sent twice surfaces as a stale reply during the next exchange.
    ASSERT_EQ(admin_.Send("set --answer-twice"), "ok");
    ASSERT_EQ(WriteRegister(target_, kTestRegister, 6), 0);
    const uint16_t twiceId = channel_.Control().requestCounter;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    capture.Clear();
    ASSERT_EQ(admin_.Send("reset"), "ok");
    uint32_t value = 0;
    ASSERT_EQ(ReadRegister(target_, kTestRegister, &value), 0);
    EXPECT_EQ(value, 6u);
    EXPECT_EQ(capture.Messages(),
              std::vector<std::string>{Format("Warning:Unexpected ackID %#06x with reqID %#06x\n",
                                              twiceId, channel_.Control().requestCounter)});
}

TEST_F(NetChannel, LateAnswerIsTakenByTheSecondAttempt) {
    ASSERT_EQ(admin_.Send("set --late-ms 250"), "ok");
    DebugCapture capture;
    const uint32_t length = BuildWriteRegister(channel_.Control(), kTestRegister, 9);
    EXPECT_EQ(Transact(channel_, camera_.mac, camera_.address, length, nullptr, 200), 0);
    const auto messages = capture.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Error:Failed to receive acknowledge,time elapsed ", 0), 0u);
}

struct StatusCase {
    const char* status;
    uint16_t expected;
    int errorMessages;
};

class NetStatus : public NetChannel, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(NetStatus, ErrorStatusEndsTheAttempt) {
    const StatusCase c = GetParam();
    ASSERT_EQ(admin_.Send(std::string("set --error-status ") + c.status), "ok");
    DebugCapture capture;
    const uint32_t length = BuildWriteRegister(channel_.Control(), kTestRegister, 1);
    EXPECT_EQ(Transact(channel_, camera_.mac, camera_.address, length, nullptr, 200), c.expected);
    const std::string error =
        Format("Error:Acknowledge with reqID %u get status %#06x\n",
               channel_.Control().requestCounter, std::stoul(c.status, nullptr, 16));
    EXPECT_EQ(capture.Messages(), std::vector<std::string>(c.errorMessages, error));
}

INSTANTIATE_TEST_SUITE_P(Statuses, NetStatus,
                         ::testing::Values(StatusCase{"0x8001", kTransactFailed, 2},
                                           StatusCase{"0x8F00", kTransactFailed, 2},
                                           StatusCase{"0x0001", 0, 0}));

TEST_F(NetChannel, FullQueueDropsNewestRepliesAndKeepsOrder) {
    const uint8_t message[16] = {0x55, 0xAA, 0x10, 9, 0, 0, 4, 0, 7, 7, 0, 0, 0, 0, 0x1B, 0};
    DebugCapture capture;
    const uint16_t first = static_cast<uint16_t>(channel_.Control().requestCounter + 1);
    for (int n = 0; n < 600; ++n) {
        ASSERT_TRUE(SendDeviceCommand(target_, message, sizeof message));
        if (n % 50 == 49) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (uint16_t n = 0; n < 512; ++n) {
        uint8_t ack[8];
        ASSERT_EQ(channel_.WaitMessage(ack, sizeof ack, nullptr, nullptr, nullptr, 0), 0);
        ASSERT_EQ(GetBe16(&ack[6]), static_cast<uint16_t>(first + n));
    }
    // 600 replies for 512 slots: whatever arrived beyond the 512th was dropped and reported.
    EXPECT_GE(capture.CountOf("message queue is full\n"), 1u);
    EXPECT_LE(capture.CountOf("message queue is full\n"), 88u);
    EXPECT_EQ(channel_.MessageQueue().IsEmpty(), 1);
}

TEST_F(NetChannel, DeviceCommandCarriesFramedMessages) {
    // Exposure time (1826): write 4321 with flag 1, then query with flag 0.
    auto framed = [](uint8_t flag, uint32_t value) {
        std::vector<uint8_t> m = {0x55, 0xAA, 0x10, 9, 0, flag, 4, 0, 0x22, 0x07};
        for (int i = 0; i < 4; ++i) m.push_back(static_cast<uint8_t>(value >> (8 * i)));
        uint16_t sum = 0;
        for (size_t i = 3; i < m.size(); ++i) sum = static_cast<uint16_t>(sum + m[i]);
        m.push_back(static_cast<uint8_t>(sum));
        m.push_back(static_cast<uint8_t>(sum >> 8));
        return m;
    };
    const auto write = framed(1, 4321);
    ASSERT_EQ(DeviceCommand(target_, write.data(), static_cast<uint32_t>(write.size()), true, {},
                            nullptr),
              0);
    const auto query = framed(0, 0);
    ASSERT_TRUE(SendDeviceCommand(target_, query.data(), static_cast<uint32_t>(query.size())));
    std::array<uint8_t, 16> reply{};
    uint32_t length = 0;
    uint16_t id = 0;
    ASSERT_EQ(ReceiveReply(channel_, reply, &length, &id), 1);
    EXPECT_EQ(id, channel_.Control().requestCounter);
    EXPECT_EQ(length, 12u);
    uint32_t current = 0;
    std::memcpy(&current, reply.data(), 4);
    EXPECT_EQ(current, 4321u);
}

}  // namespace
