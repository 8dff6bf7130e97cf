// The discovery table fed with acknowledgements directly: fields, the found-before rule and the
// 20-entry bound (every test starts from a reset table).
#include "gige/discovery.h"

#include "gige/wire_format.h"
#include "support/debug_capture.h"
#include "support/unit.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;

// A discovery acknowledgement (GVCP header included) as a camera sends it.
std::vector<uint8_t> DiscoveryAck(uint8_t macTail, const char* serial = "ZS12345678") {
    std::vector<uint8_t> ack(8 + 248, 0);
    PutBe16(&ack[2], kDiscoveryAck);
    PutBe16(&ack[4], 248);
    PutBe16(&ack[6], 1);
    PutBe16(&ack[12], 512);
    PutBe16(&ack[14], 640);
    const uint8_t mac[6] = {0x02, 0x42, 0, 0, 0, macTail};
    std::memcpy(&ack[18], mac, 6);
    const uint8_t address[4] = {198, 18, 0, static_cast<uint8_t>(2 + macTail)};
    std::memcpy(&ack[44], address, 4);
    std::memcpy(&ack[224], serial, std::strlen(serial));
    return ack;
}

class Discovery : public ::testing::Test {
  protected:
    void SetUp() override { ResetDiscovery(); }
    void TearDown() override { ResetDiscovery(); }
    DebugCapture debug_;
};

TEST_F(Discovery, ACameraSeenAgainIsReportedWithItsIndexAndNotAdded) {
    ASSERT_EQ(AddDiscoveredCamera(DiscoveryAck(1), 0, "198.18.0.1"), 0);
    ASSERT_EQ(AddDiscoveredCamera(DiscoveryAck(2), 0, "198.18.0.1"), 1);
    debug_.Clear();
    EXPECT_EQ(AddDiscoveredCamera(DiscoveryAck(2, "OTHER"), 1, "198.19.0.1"), -1);
    EXPECT_EQ(DiscoveredCount(), 2u);
    EXPECT_STREQ(GetDiscoveryEntry(1)->hostAddress, "198.18.0.1") << "the first sighting stays";
    EXPECT_EQ(debug_.Messages(), std::vector<std::string>{"camera 1 has found before\n"});
}

TEST_F(Discovery, TheTableHoldsTwentyCamerasAndNothingIsWrittenPastIt) {
    for (uint8_t i = 0; i < kMaxDiscoveredCameras; ++i) {
        ASSERT_EQ(AddDiscoveredCamera(DiscoveryAck(i), 0, "198.18.0.1"), i);
    }
    const DiscoveryEntry last = *GetDiscoveryEntry(kMaxDiscoveredCameras - 1);
    debug_.Clear();
    EXPECT_EQ(AddDiscoveredCamera(DiscoveryAck(20), 1, "198.19.0.1"), -1);
    EXPECT_EQ(AddDiscoveredCamera(DiscoveryAck(5), 1, "198.19.0.1"), -1);
    EXPECT_EQ(DiscoveredCount(), kMaxDiscoveredCameras);
    EXPECT_FALSE(GetDiscoveryEntry(kMaxDiscoveredCameras));
    const DiscoveryEntry kept = *GetDiscoveryEntry(kMaxDiscoveredCameras - 1);
    EXPECT_EQ(std::memcmp(&kept, &last, sizeof last), 0);
    EXPECT_EQ(debug_.Messages(), (std::vector<std::string>{"camera table is full, camera ignored\n",
                                                           "camera 5 has found before\n"}));
}

TEST_F(Discovery, ATruncatedAcknowledgementAddsNothing) {
    auto ack = DiscoveryAck(1);
    ack.resize(231);  // ends inside the serial number
    EXPECT_EQ(AddDiscoveredCamera(ack, 0, "198.18.0.1"), -1);
    EXPECT_EQ(DiscoveredCount(), 0u);
}

}  // namespace
