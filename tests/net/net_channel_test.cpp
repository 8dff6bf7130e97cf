// Packet and control channel against zelir-camsim, inside the network namespaces.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
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

}  // namespace
