// Stream reception from zelir-camsim inside the network namespaces: whole 16-bit and 8-bit
// frames against the emulator's own scene. Faults, windows and the rate measurement are pinned
// on recorded packets (frame_assembler_test).
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <chrono>
#include <thread>

#include "formats/parameter_line.h"
#include "gige/control_channel.h"
#include "support/net_adapters.h"
#include "thermal_scene.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kStreamRegister = 27;

class NetStream : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnumerateAdapters(); }

    void SetUp() override {
        ASSERT_EQ(admin_.Send("reset"), "ok");
        const int index = AdapterIndex("zh0");
        ASSERT_GE(index, 0);
        camera_ = {CameraMac("zc0"), inet_addr("198.18.0.2")};
        channel_ = std::make_unique<NetInterface>(static_cast<uint32_t>(index), 640, 512);
        ASSERT_EQ(channel_->OpenAdapter(static_cast<uint32_t>(index), &camera_), 0);
    }
    void TearDown() override {
        WriteRegister({channel_.get(), camera_}, kStreamRegister, 0);
        admin_.Send("reset");
        channel_->Stop();
    }

    uint32_t FramesSent() {
        const std::string stats = admin_.Send("stats");
        return stats.rfind("frames=", 0) == 0 ? static_cast<uint32_t>(std::stoul(stats.substr(7)))
                                              : 0;
    }
    void Start(const std::string& settings) {
        framesBefore_ = FramesSent();
        ASSERT_EQ(admin_.Send("set " + settings), "ok");
        ASSERT_EQ(WriteRegister({channel_.get(), camera_}, kStreamRegister, 1), 0);
    }
    // Waits until the emulator has sent this many frames (and the last has had time to land).
    void WaitForSentFrames(uint32_t count) {
        const auto deadline = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < deadline) {
            if (FramesSent() >= framesBefore_ + count) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    CamsimAdmin admin_;
    uint32_t framesBefore_ = 0;
    CameraEndpoint camera_{};
    std::unique_ptr<NetInterface> channel_;
};

struct Fetched {
    std::vector<uint8_t> data = std::vector<uint8_t>(2'626'560);
    uint32_t imageBytes = 0, pixelKind = 0, bytesPerPixel = 2;
};

struct FormatCase {
    const char* flag;
    bool eightBit;
};

class NetFrames : public NetStream, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(NetFrames, FetchedFrameIsTheEmulatorsScene) {
    const FormatCase c = GetParam();
    Start(std::string("--rate 50 --frames 5 ") + c.flag);
    WaitForSentFrames(5);
    Fetched f;
    ASSERT_EQ(channel_->FetchNewestFrame({f.data, &f.imageBytes, &f.pixelKind, &f.bytesPerPixel}),
              1);
    const uint32_t bpp = c.eightBit ? 1 : 2;
    EXPECT_EQ(f.imageBytes, 640u * 512 * bpp);
    EXPECT_EQ(f.pixelKind, c.eightBit ? 1u : 0u);
    EXPECT_EQ(f.bytesPerPixel, bpp);

    const std::span<const uint8_t> line(&f.data[f.imageBytes], ZELIR_PARAMETER_LINE_SIZE);
    ASSERT_TRUE(zelir::files::HasValidMarkers(line));
    uint32_t frameId = 0;
    std::memcpy(&frameId, &line[offsetof(ZelIrParameterBlock, frameId)], 4);
    EXPECT_EQ(frameId, 5u) << "the newest of five frames";

    camsim::ThermalScene scene(640, 512);
    std::vector<uint16_t> expected(640 * 512);
    scene.Render(frameId, expected);
    size_t mismatches = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        const uint16_t got = c.eightBit ? f.data[i] : GetLe16(&f.data[i * 2]);
        const uint16_t want = c.eightBit ? expected[i] >> 6 : expected[i];
        mismatches += got != want;
    }
    EXPECT_EQ(mismatches, 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, NetFrames,
                         ::testing::Values(FormatCase{"--pixel16", false},
                                           FormatCase{"--pixel8", true}));

}  // namespace
