// The camera object without an adapter: what it reports before it is opened, a new MAC tail,
// and the command queue fed with captured replies.
#include "gige/gnet_device.h"

#include "gige/captured_frames.h"
#include "gige/control_channel.h"
#include "support/unit.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;

DiscoveryEntry Entry() {
    DiscoveryEntry e{};
    e.mac = {0x02, 0x42, 0x11, 0x22, 0x33, 0x44};
    const uint8_t address[4] = {198, 18, 0, 2};
    std::memcpy(e.address, address, 4);
    e.width = 640;
    e.height = 512;
    return e;
}

// A camera of 640 x 512 that was never opened.
class GNetDevice : public ::testing::Test {
  protected:
    CGNetDevice camera{nullptr, Entry(), 640, 512};
};

TEST_F(GNetDevice, NewMacTailKeepsTheVendorBytesAndSetsTheFilter) {
    const uint8_t tail[4] = {0x0A, 0x0B, 0x0C, 0x0D};
    EXPECT_EQ(camera.SetMacAddress(tail), 0);
    EXPECT_EQ(camera.Entry().mac, (MacAddress{0x02, 0x42, 0x0A, 0x0B, 0x0C, 0x0D}));
    EXPECT_NE(std::string(camera.Channel()->FilterText()).find("ether src 02:42:0a:0b:0c:0d"),
              std::string::npos)
        << camera.Channel()->FilterText();
    EXPECT_EQ(camera.SetMacAddress(nullptr), -1);
}

TEST_F(GNetDevice, CommandsThatCannotGoOutFail) {
    const std::vector<uint8_t> command(kMaxDeviceCommandData + 1, 0x55);
    EXPECT_FALSE(camera.SendCommand(command.data(), static_cast<uint32_t>(command.size())));
    EXPECT_FALSE(camera.SendCommand(command.data(), kMaxDeviceCommandData)) << "not opened";
}

}  // namespace
