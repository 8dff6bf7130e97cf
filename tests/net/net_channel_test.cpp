// Packet and control channel against zelir-camsim, inside the network namespaces. Error
// statuses, stale acknowledgements and the adapter table are pinned without a network
// (control_channel_test, adapter_table_test).
#include <gtest/gtest.h>

#include <arpa/inet.h>

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

// The first attempt waits its whole window in silence and says so; the second takes the answer
// that came too late for the first. A shorter or longer window, or one attempt only, fails this.
TEST_F(NetChannel, LateAnswerIsTakenByTheSecondAttempt) {
    ASSERT_EQ(admin_.Send("set --late-ms 250"), "ok");
    DebugCapture capture;
    const uint32_t length = BuildWriteRegister(channel_.Control(), kTestRegister, 9);
    EXPECT_EQ(Transact(channel_, camera_.mac, camera_.address, length, nullptr, 200), 0);
    const auto messages = capture.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Error:Failed to receive acknowledge,time elapsed ", 0), 0u);
}

}  // namespace
