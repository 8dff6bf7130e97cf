// Stream reception from zelir-camsim inside the network namespaces: whole frames against the
// emulator's own scene, each injected fault, windows, 8-bit frames and the frame rate.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
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

struct Delivered {
    std::mutex mutex;
    std::vector<uint32_t> frameIds;
    std::vector<FrameInfo> infos;
    std::vector<uint32_t> expectedCounts;
    const FrameAssembler* frames = nullptr;
};

int OnFrame(uint8_t* frame, FrameInfo* info, void* context) {
    auto* d = static_cast<Delivered*>(context);
    std::lock_guard<std::mutex> guard(d->mutex);
    // The parameter line follows the image bytes.
    uint32_t frameId = 0;
    std::memcpy(&frameId, frame + info->byteCount + offsetof(ZelIrParameterBlock, frameId), 4);
    d->frameIds.push_back(frameId);
    d->infos.push_back(*info);
    d->expectedCounts.push_back(d->frames->ExpectedPacketCount());
    return 0;
}

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
        delivered_.frames = &channel_->Frames();
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
    void UseCallback() { channel_->SetFrameCallback(&OnFrame, &delivered_); }
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
    Delivered delivered_;
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

struct FaultCase {
    const char* name;
    const char* flags;
    bool anyOrder;
    bool delivered;  // every packet arrives, in another order or twice, and in any order is taken
};

class NetFaults : public NetStream, public ::testing::WithParamInterface<FaultCase> {};

// Frames 3, 6, 9, ... carry the fault: a frame missing a packet or repeating the block id before
// it is never delivered; one whose packets all arrive is, when taken in any order.
TEST_P(NetFaults, DamagedFramesAreDeliveredOnlyWhole) {
    UseCallback();
    channel_->SetAnyOrder(GetParam().anyOrder);
    Start(std::string("--rate 100 --frames 30 --fault-every 3 ") + GetParam().flags);
    WaitForSentFrames(30);
    std::lock_guard<std::mutex> guard(delivered_.mutex);
    std::set<uint32_t> ids(delivered_.frameIds.begin(), delivered_.frameIds.end());
    EXPECT_EQ(ids.size(), delivered_.frameIds.size()) << "each frame at most once";
    if (!GetParam().delivered) {
        for (uint32_t id : ids) EXPECT_NE(id % 3, 0u) << "damaged frame " << id << " delivered";
    }
    // The veth pair may lose a packet now and then; nearly every whole frame arrives.
    EXPECT_GE(ids.size(), GetParam().delivered ? 27u : 18u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, NetFaults,
    ::testing::Values(FaultCase{"lost", "--drop-packet 100", true, false},
                      FaultCase{"lost_parameter_line", "--drop-packet 512", true, false},
                      FaultCase{"repeated_in_sequence", "--repeat-packet 100", false, false},
                      FaultCase{"reordered_in_sequence", "--reorder-packet 100", false, false},
                      FaultCase{"repeated_any_order", "--repeat-packet 100", true, true},
                      FaultCase{"reordered_any_order", "--reorder-packet 100", true, true},
                      FaultCase{"repeated_block_id", "--repeat-block-id", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NetStream, WindowedFramesReportTheirWindow) {
    UseCallback();
    Start("--rate 50 --frames 3 --window 320x240+16+8");
    WaitForSentFrames(3);
    {
        std::lock_guard<std::mutex> guard(delivered_.mutex);
        ASSERT_FALSE(delivered_.infos.empty());
        for (size_t n = 0; n < delivered_.infos.size(); ++n) {
            EXPECT_EQ(delivered_.infos[n].height, 240u);
            EXPECT_EQ(delivered_.infos[n].width, 320u);
            EXPECT_EQ(delivered_.infos[n].byteCount, 320u * 240 * 2);
            EXPECT_EQ(delivered_.expectedCounts[n], 240u / (1280 / 320));
        }
    }
    EXPECT_EQ(channel_->Frames().EventWords(), (std::array<int16_t, 4>{16, 8, 320, 240}));

    // The window's pixels lead the frame.
    channel_->SetFrameCallback(nullptr, nullptr);
    Fetched f;
    ASSERT_EQ(channel_->FetchNewestFrame({f.data, &f.imageBytes, &f.pixelKind, &f.bytesPerPixel}),
              1);
    uint32_t frameId = 0;
    std::memcpy(&frameId, &f.data[f.imageBytes + offsetof(ZelIrParameterBlock, frameId)], 4);
    camsim::ThermalScene scene(640, 512);
    std::vector<uint16_t> full(640 * 512);
    scene.Render(frameId, full);
    for (uint32_t y = 0; y < 240; y += 17) {
        for (uint32_t x = 0; x < 320; x += 13) {
            ASSERT_EQ(GetLe16(&f.data[(y * 320 + x) * 2]), full[(y + 8) * 640 + x + 16])
                << x << "," << y;
        }
    }
}

TEST_F(NetStream, FrameRateIsMeasuredEveryHundredFrames) {
    Start("--rate 100 --frames 230");
    // Watch the completed-frame count independently: the second measurement covers frames
    // 100 to 200 (the first also covers the time since construction).
    const FrameAssembler& frames = channel_->Frames();
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    Clock::time_point at100{}, at200{};
    float before100 = -1.0f;
    while (Clock::now() < deadline && frames.FrameCount() < 200) {
        const uint32_t count = frames.FrameCount();
        if (count < 100) before100 = channel_->GetFrameRate();
        if (count >= 100 && at100 == Clock::time_point{}) at100 = Clock::now();
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    at200 = Clock::now();
    ASSERT_GE(frames.FrameCount(), 200u);
    EXPECT_EQ(before100, 0.0f) << "no rate before the 100th frame";
    const double observed = 100.0 / std::chrono::duration<double>(at200 - at100).count();
    const float rate = channel_->GetFrameRate();
    EXPECT_NEAR(rate, observed, observed * 0.1) << "observed " << observed << " frames/s";
    EXPECT_EQ(rate, static_cast<float>(static_cast<int64_t>(rate))) << "a whole number";
}

}  // namespace
