// Two emulated cameras stream into frame callbacks while two application threads drive both
// handles (settings exchanges, frame queries, display settings) and a third opens, plays and
// closes the sample movie. Run under ThreadSanitizer in CI: any race or lock-order report
// fails it; in every build it checks that nothing is lost on the way.
#include <zelir/zelir.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/camsim_admin.h"
#include "support/unit.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRunTime = std::chrono::seconds(4);

struct CameraLoad {
    std::atomic<uint32_t> frames{0};
    std::atomic<uint64_t> checksum{0};
};

int OnFrame(uint8_t* pixels, FrameInfo* info, void* context) {
    auto* load = static_cast<CameraLoad*>(context);
    uint64_t sum = 0;
    for (uint32_t i = 0; i < info->byteCount; i += 4096) sum += pixels[i];
    load->checksum += sum;
    ++load->frames;
    return 0;
}

struct Exchanges {
    std::atomic<uint32_t> asked{0};
    std::atomic<uint32_t> answered{0};
    std::atomic<uint32_t> otherCamerasValue{0};
};

// A camera handle and the frame frequency that only its camera reports.
struct Camera {
    ZelIrHandle handle;
    float frequency;
};

// One application thread: every call goes to both cameras in turn.
void DriveCameras(const std::array<Camera, 2>& cameras, Exchanges& exchanges, int palette) {
    const auto end = Clock::now() + kRunTime;
    while (Clock::now() < end) {
        for (const auto& [h, frequency] : cameras) {
            float rate[3] = {};
            ++exchanges.asked;
            if (ZelIr_GetFrameFreq(h, rate) == 1) {
                ++exchanges.answered;
                if (rate[0] != frequency) ++exchanges.otherCamerasValue;
            }
            uint32_t width = 0, height = 0;
            ZelIr_GetDigitArrayPara(h, &width, &height);
            ZelIr_GetFrameID(h);
            ZelIr_GetAmbientTemp(h);
            ZelIr_SetPalette(h, palette, nullptr);
            ZelIr_GETDeviceFPS(h);
        }
    }
}

// The third thread: a movie opened, played a few frames and closed, over and over.
uint32_t PlayMovies(const wchar_t* movie) {
    uint32_t played = 0;
    std::vector<uint16_t> digits(640 * 512);
    std::vector<uint8_t> image(640 * 512);
    const auto end = Clock::now() + kRunTime;
    while (Clock::now() < end) {
        ZelIrHandle h = ZelIr_MovieFileOpen(movie);
        if (h == nullptr) break;
        for (int i = 0; i < 5 && ZelIr_GetNewArray(h) == 1; ++i) {
            ZelIr_GetDigitArray(h, digits.data(), nullptr);
            ZelIr_DigitArrayToBmp(h, digits.data(), image.data(), 0, 0, nullptr);
        }
        ZelIr_Close(h);
        ++played;
    }
    return played;
}

TEST(NetStress, TwoCamerasThreeThreadsAndAMovie) {
    zelir::test::CamsimAdmin admin0{"198.18.0.2"}, admin1{"198.19.0.2"};
    ASSERT_EQ(admin0.Send("reset"), "ok");
    ASSERT_EQ(admin1.Send("reset"), "ok");
    // Small frames: the test is about threads, and two 640 x 512 streams into a ThreadSanitizer
    // build lose packets, so frames, on a busy machine.
    ASSERT_EQ(admin0.Send("set --rate 100 --width 160 --height 128"), "ok");
    // The second camera reports a frame frequency of its own, so a reply that reached the
    // wrong exchange shows.
    ASSERT_EQ(admin1.Send("set --rate 100 --width 160 --height 128 --freq-offset 7"), "ok");
    const std::array<ZelIrHandle, 2> cameras = {ZelIr_OpenDevice(L"cam://0", nullptr),
                                                ZelIr_OpenDevice(L"cam://1", nullptr)};
    ASSERT_NE(cameras[0], nullptr);
    ASSERT_NE(cameras[1], nullptr);
    std::array<Camera, 2> drive;
    std::array<CameraLoad, 2> loads;
    for (int i = 0; i < 2; ++i) {
        float rate[3] = {};
        ASSERT_EQ(ZelIr_GetFrameFreq(cameras[i], rate), 1);
        drive[i] = {cameras[i], rate[0]};
        ASSERT_EQ(ZelIr_SetCallBackFun(cameras[i], &OnFrame, &loads[i]), 1);
    }
    ASSERT_EQ(drive[1].frequency, drive[0].frequency + 7);

    Exchanges first, second;
    uint32_t moviesPlayed = 0;
    std::thread a(DriveCameras, drive, std::ref(first), 1);
    std::thread b(DriveCameras, std::array<Camera, 2>{drive[1], drive[0]}, std::ref(second), 2);
    std::thread c([&] { moviesPlayed = PlayMovies(ZELIR_SAMPLE_MOVIE); });
    a.join();
    b.join();
    c.join();

    for (ZelIrHandle h : cameras) {
        ZelIr_SetCallBackFun(h, nullptr, nullptr);
        EXPECT_EQ(ZelIr_Close(h), 1);
    }
    // At least a few frames a second each, even in a ThreadSanitizer build.
    for (const CameraLoad& load : loads) EXPECT_GT(load.frames.load(), 10u) << "frames delivered";
    // Settings exchanges of two threads on two cameras never take each other's replies. A
    // ThreadSanitizer build on two cores may starve an exchange past its 200 ms deadline now
    // and then (one in about 4,000 seen), so up to one in a thousand may go unanswered.
    for (const Exchanges* e : {&first, &second}) {
        EXPECT_GT(e->asked.load(), 10u);
        EXPECT_EQ(e->otherCamerasValue.load(), 0u);
        EXPECT_GE(e->answered.load(), e->asked.load() - e->asked.load() / 1000);
    }
    // Under ThreadSanitizer on a busy machine one movie cycle can take seconds.
    EXPECT_GE(moviesPlayed, 1u) << "a movie opened, played and closed meanwhile";
    // The next test program finds the cameras as they started.
    EXPECT_EQ(admin0.Send("reset"), "ok");
    EXPECT_EQ(admin1.Send("reset"), "ok");
}

}  // namespace
