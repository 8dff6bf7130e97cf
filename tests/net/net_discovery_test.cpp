// Discovery against the two emulators: a repeated Discover keeps its table, and cameras beyond
// the twentieth are left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "gige/discovery.h"
#include "support/debug_capture.h"
#include "support/net_adapters.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;

std::string MacText(uint8_t tail) {
    char text[32];
    std::snprintf(text, sizeof text, "02:42:c6:12:00:%02x", tail);
    return text;
}

class NetDiscovery : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(cam0_.Send("reset"), "ok");
        ASSERT_EQ(cam1_.Send("reset"), "ok");
        ResetDiscovery();
    }
    void TearDown() override {
        ResetDiscovery();
        cam0_.Send("reset");
        cam1_.Send("reset");
    }
    CamsimAdmin cam0_{"198.18.0.2"};
    CamsimAdmin cam1_{"198.19.0.2"};
};

TEST_F(NetDiscovery, ASecondDiscoverAddsNoCameraAlreadyListed) {
    ASSERT_EQ(Discover(), 2u);
    DebugCapture debug;
    EXPECT_EQ(Discover(), 2u);
    EXPECT_EQ(debug.CountOf("camera 0 has found before\n"), 1u);
    EXPECT_EQ(debug.CountOf("camera 1 has found before\n"), 1u);
    std::set<std::string> hosts;
    for (uint32_t i = 0; i < 2; ++i) {
        const DiscoveryEntry e = *GetDiscoveryEntry(i);
        EXPECT_EQ(e.cameraIndex, i);
        EXPECT_EQ(e.width, 640);
        EXPECT_EQ(e.height, 512);
        hosts.insert(e.hostAddress);
    }
    EXPECT_EQ(hosts, (std::set<std::string>{"198.18.0.1", "198.19.0.1"}));
}

// Each round both emulators answer with new MACs: new cameras to a table that is never reset.
TEST_F(NetDiscovery, TheTwentyFirstCameraIsLeftOut) {
    DebugCapture debug;
    std::vector<std::string> messages;
    auto countOf = [&messages](const char* text) {
        return static_cast<size_t>(std::count(messages.begin(), messages.end(), text));
    };
    for (uint8_t round = 0; round < 11; ++round) {
        ASSERT_EQ(cam0_.Send("set --mac " + MacText(uint8_t(2 * round))), "ok");
        ASSERT_EQ(cam1_.Send("set --mac " + MacText(uint8_t(2 * round + 1))), "ok");
        debug.Clear();
        const uint32_t count = Discover();
        std::string log;
        for (const std::string& m : debug.Messages()) {
            log += m;
            messages.push_back(m);
        }
        EXPECT_EQ(count, std::min<uint32_t>(2u * (round + 1), kMaxDiscoveredCameras)) << log;
    }
    EXPECT_EQ(countOf("camera table is full, camera ignored\n"), 2u);
    EXPECT_EQ(countOf("camera 19 found\n"), 1u);
    EXPECT_EQ(countOf("camera 20 found\n"), 0u);
    ASSERT_EQ(DiscoveredCount(), kMaxDiscoveredCameras);
    std::set<MacAddress> macs;
    for (uint32_t i = 0; i < kMaxDiscoveredCameras; ++i) macs.insert(GetDiscoveryEntry(i)->mac);
    EXPECT_EQ(macs.size(), kMaxDiscoveredCameras);
    EXPECT_FALSE(GetDiscoveryEntry(kMaxDiscoveredCameras));
}

}  // namespace
