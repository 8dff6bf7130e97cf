// Live cameras through the public interface only, against the two emulators in the network
// namespaces: the device list, connection paths, open and close, pulled frames, the camera's
// state values and a stream lost and found again. Callbacks run in net_stress_test and the
// Python camera tests; recording from a camera in net_cli_test (zelir record).
#include <zelir/zelir.h>

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <thread>

#include "support/camsim_admin.h"
#include "support/debug_capture.h"
#include "support/live_camera.h"
#include "support/open_handle.h"
#include "support/unit.h"

namespace {

using namespace zelir::test;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kCameraHandle = 1;

using Handle = zelir_test::OpenHandle;

// A UTF-16 text field of a record (records are packed: read through a buffer).
std::string Field(const DeviceInfo& record, size_t offset, size_t characters) {
    char16_t text[32] = {};
    std::memcpy(text, reinterpret_cast<const uint8_t*>(&record) + offset, characters * 2);
    std::string out;
    for (size_t i = 0; i < characters && text[i] != 0; ++i) out += static_cast<char>(text[i]);
    return out;
}
#define FIELD(record, name) \
    Field(record, offsetof(DeviceInfo, name), sizeof(DeviceInfo::name) / sizeof(char16_t))

std::vector<DeviceInfo> Enumerate(uint32_t type) {
    int32_t count = -1;
    ZelIr_EnumerateDevices(nullptr, &count, type);
    std::vector<DeviceInfo> list(static_cast<size_t>(std::max(count, 0)));
    int32_t again = -1;
    ZelIr_EnumerateDevices(list.data(), &again, ZELIR_ENUM_CACHED);
    EXPECT_EQ(again, count) << "the cached list is the one just built";
    return list;
}

int32_t CachedCount() {
    int32_t count = -1;
    ZelIr_EnumerateDevices(nullptr, &count, ZELIR_ENUM_CACHED);
    return count;
}

// A count of an emulator's "stats" answer: frames sent, control packets taken, streaming.
uint64_t Stat(CamsimAdmin& admin, const std::string& key) {
    const std::string stats = " " + admin.Send("stats");
    const size_t at = stats.find(" " + key + "=");
    return at == std::string::npos ? 0 : std::stoull(stats.substr(at + key.size() + 2));
}
bool Streaming(CamsimAdmin& admin) {
    return Stat(admin, "streaming") == 1;
}

class NetCamera : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(cam0_.Send("reset"), "ok");
        ASSERT_EQ(cam1_.Send("reset"), "ok");
        ZelIr_FreeDevices();
    }
    void TearDown() override {
        ZelIr_FreeDevices();
        cam0_.Send("reset");
        cam1_.Send("reset");
    }

    // Opens the camera and waits until it has delivered a first frame.
    Handle OpenWithFrame(const wchar_t* path) {
        Handle h(ZelIr_OpenDevice(path, nullptr));
        if (!h) return h;
        const auto deadline = Clock::now() + std::chrono::seconds(3);
        while (ZelIr_GetNewArray(h.get()) != 1 && Clock::now() < deadline) Pause(2);
        return h;
    }
    // A new frame within a second.
    bool NextFrame(void* h) { return NewFrames(h, 1, std::chrono::seconds(1)); }
    static void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    static std::string DataDirectory(void* h) { return DataFolder(h).string(); }

    CamsimAdmin cam0_{"198.18.0.2"};
    CamsimAdmin cam1_{"198.19.0.2"};
};

// Each record's fields are checked through zelir discover (net_cli_test) and on recorded
// acknowledgements (discovery_test).
TEST_F(NetCamera, DiscoveryListsBothCamerasAndTheCachedCopyIsWithoutTraffic) {
    DebugCapture messages;
    int32_t count = -1;
    EXPECT_EQ(ZelIr_EnumerateDevices(nullptr, &count, ZELIR_ENUM_GIGE), 0);
    ASSERT_EQ(count, 2);
    for (const char* text : {"-------------------Gige Network Adapter 0---------------------\n",
                             "-------------------Gige Network Adapter 1---------------------\n",
                             "camera 0 found\n", "camera 1 found\n"}) {
        EXPECT_EQ(messages.CountOf(text), 1u) << text;
    }
    messages.Clear();

    const uint64_t control = Stat(cam0_, "control") + Stat(cam1_, "control");
    std::vector<DeviceInfo> list(2);
    int32_t again = -1;
    EXPECT_EQ(ZelIr_EnumerateDevices(list.data(), &again, ZELIR_ENUM_CACHED), 0);
    EXPECT_EQ(again, 2);
    EXPECT_TRUE(messages.Messages().empty()) << "no discovery ran";
    Pause(20);
    EXPECT_EQ(Stat(cam0_, "control") + Stat(cam1_, "control"), control);
}

TEST_F(NetCamera, OpenDiscoversWhenTheListIsEmptyAndCloseEmptiesIt) {
    ASSERT_EQ(CachedCount(), 0);
    Handle h(ZelIr_OpenDevice(L"cam://0", nullptr));
    ASSERT_TRUE(h);
    EXPECT_EQ(ZelIr_GetHandleType(h.get()), kCameraHandle);
    EXPECT_EQ(ZelIr_GetHandleTypeExt(h.get()), 1u);
    EXPECT_EQ(ZelIr_IsOpen(h.get()), 1);
    EXPECT_EQ(CachedCount(), 2) << "the open enumerated";
    const std::string directory = DataDirectory(h.get());
    ASSERT_NE(std::getenv("ZELIR_DATA_DIR"), nullptr);
    EXPECT_EQ(directory, std::string(std::getenv("ZELIR_DATA_DIR")) + "/");
    EXPECT_EQ(ZelIr_Close(h.release()), 1);
    EXPECT_EQ(CachedCount(), 0);
    EXPECT_FALSE(Streaming(cam0_) || Streaming(cam1_)) << "close stops the stream";
}

struct PathCase {
    const wchar_t* path;
    const char* address;  // of the camera the path must open
};

class NetCameraPaths : public NetCamera, public ::testing::WithParamInterface<PathCase> {};

// Each path starts exactly the camera it names, whatever its index.
TEST_P(NetCameraPaths, PathOpensItsCamera) {
    const auto list = Enumerate(ZELIR_ENUM_GIGE);
    ASSERT_EQ(list.size(), 2u);
    std::string expected = GetParam().address;
    if (expected.rfind("record", 0) == 0) {  // "recordN": whatever camera record N is
        expected = FIELD(list[static_cast<size_t>(expected.back() - '0')], address);
    }
    Handle h(ZelIr_OpenDevice(GetParam().path, nullptr));
    ASSERT_TRUE(h);
    EXPECT_EQ(Streaming(cam0_), expected == "198.18.0.2");
    EXPECT_EQ(Streaming(cam1_), expected == "198.19.0.2");
    h.reset();
    EXPECT_FALSE(Streaming(cam0_) || Streaming(cam1_));
}

INSTANTIATE_TEST_SUITE_P(Paths, NetCameraPaths,
                         ::testing::Values(PathCase{L"cam://1", "record1"},
                                           PathCase{L"x://198.19.0.2", "198.19.0.2"},
                                           PathCase{L"gige:198.18.0.2", "198.18.0.2"}));

class NetCameraBadPaths : public NetCamera, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(NetCameraBadPaths, OpenFailsCleanly) {
    ASSERT_EQ(Enumerate(ZELIR_ENUM_GIGE).size(), 2u);
    EXPECT_EQ(ZelIr_OpenDevice(GetParam(), nullptr), nullptr);
    EXPECT_EQ(CachedCount(), 0) << "a failed open empties the list";
    EXPECT_FALSE(Streaming(cam0_) || Streaming(cam1_));
    Handle next(ZelIr_OpenDevice(L"cam://0", nullptr));
    EXPECT_TRUE(next) << "nothing of the failed open is left in the way";
}

INSTANTIATE_TEST_SUITE_P(Paths, NetCameraBadPaths,
                         ::testing::Values(L"cam://2", L"protocol-too-long:0", L"x://198.18.0.9"));

TEST_F(NetCamera, RateAndStateValuesComeFromTheCamera) {
    ASSERT_EQ(cam0_.Send("set --rate 200"), "ok");
    Handle h = OpenWithFrame(L"cam://0");
    ASSERT_TRUE(h);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(NextFrame(h.get()));
    const uint32_t id = ZelIr_GetFrameID(h.get());
    // The block's other values take the same path (CameraStateExports, without a network).
    EXPECT_EQ(ZelIr_GetAmbientTemp(h.get()), int32_t(2500 + id % 16));
    EXPECT_EQ(ZelIr_GetCurrIntTime(h.get()), 1200u);
    uint32_t width = 0, height = 0;
    ZelIr_GetDigitArrayPara(h.get(), &width, &height);
    EXPECT_EQ((std::pair{width, height}), (std::pair{640u, 512u}));

    // The rate is measured every hundred frames; the first measurement also covers the time
    // before the stream started. A later one follows the rate the emulator really reaches.
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (ZelIr_GETDeviceFPS(h.get()) == 0.0f && Clock::now() < deadline) Pause(20);
    const uint64_t sentBefore = Stat(cam0_, "frames");
    const auto start = Clock::now();
    Pause(1000);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double sentRate = double(Stat(cam0_, "frames") - sentBefore) / seconds;
    EXPECT_NEAR(ZelIr_GETDeviceFPS(h.get()), sentRate, sentRate * 0.2);
}

ZelIrStreamStats StreamStats(void* h) {
    ZelIrStreamStats stats{};
    EXPECT_EQ(ZelIr_GetStreamStats(h, &stats), 1);
    return stats;
}

TEST_F(NetCamera, ReorderedFramesArriveAndACameraThatGoesQuietIsLostThenBack) {
    ASSERT_EQ(cam0_.Send("set --rate 100 --reorder-packet 100 --repeat-packet 300"), "ok");
    Handle h(ZelIr_OpenDevice(L"cam://0", nullptr));
    ASSERT_TRUE(h);
    EXPECT_EQ(ZelIr_SetStreamOptions(h.get(), 0x4), 0) << "an unknown option";
    ASSERT_EQ(ZelIr_SetStreamOptions(h.get(), ZELIR_STREAM_ANY_ORDER | ZELIR_STREAM_REPORT_LOST),
              1);
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(NextFrame(h.get())) << "reordered frames complete";
    const ZelIrStreamStats stats = StreamStats(h.get());
    EXPECT_GE(stats.framesCompleted, 5u);
    EXPECT_GE(stats.packetsOutOfOrder, stats.framesCompleted) << "one in every frame";
    EXPECT_GE(stats.packetsRepeated, stats.framesCompleted);
    EXPECT_EQ(stats.state, uint32_t{ZELIR_STREAM_RECEIVING});
    EXPECT_EQ(ZelIr_GetStreamStats(h.get(), nullptr), 0);

    ASSERT_EQ(cam0_.Send("set --pause-stream"), "ok");
    const auto quiet = Clock::now();
    while (ZelIr_GetNewArray(h.get()) == 1 && Clock::now() - quiet < std::chrono::seconds(5)) {
        Pause(10);
    }
    EXPECT_LT(Clock::now() - quiet, std::chrono::milliseconds(ZELIR_STREAM_LOST_MS + 300));
    EXPECT_EQ(StreamStats(h.get()).state, uint32_t{ZELIR_STREAM_LOST});
    ASSERT_EQ(cam0_.Send("set --resume-stream"), "ok");
    EXPECT_TRUE(NextFrame(h.get()));
    EXPECT_EQ(StreamStats(h.get()).state, uint32_t{ZELIR_STREAM_RECEIVING});

    // A restarted camera waits for the stream start: the library sends it again once lost.
    ASSERT_EQ(cam0_.Send("restart"), "ok");
    const auto restart = Clock::now();
    const auto limit = std::chrono::seconds(5);
    while (ZelIr_GetNewArray(h.get()) == 1 && Clock::now() - restart < limit) Pause(10);
    while (!NextFrame(h.get()) && Clock::now() - restart < limit) {
    }
    EXPECT_TRUE(Streaming(cam0_));
    EXPECT_LT(Clock::now() - restart, std::chrono::milliseconds(3 * ZELIR_STREAM_LOST_MS));
}

}  // namespace
