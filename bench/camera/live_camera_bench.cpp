// Live camera end to end at 640 x 512: zelir-camsim -> capture -> reassembly -> ZelIr_GetNewArray
// (pull mode) or the frame callback (callback mode) -> ZelIr_DigitArrayToBmp on the application
// thread. Reports the frames the application sees against the frames sent, and the CPU time the
// application thread spends per frame, against a memcpy of the frame and the mapping alone,
// measured in the same run. Runs inside zelir-h with the emulators up:
// bench/camera/run_live_bench.sh does both.
#include <zelir/zelir.h>

#include <time.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/device_manager.h"
#include "gige/control_channel.h"
#include "gige/gnet_device.h"
#include "support/camsim_admin.h"

namespace {

using Clock = std::chrono::steady_clock;
using zelir::test::CamsimAdmin;

constexpr uint32_t kWidth = 640, kHeight = 512;
constexpr size_t kPixels = size_t{kWidth} * kHeight;
constexpr uint32_t kPacketsPerFrame = 513;
constexpr auto kPollPause = std::chrono::microseconds(200);

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

uint64_t FramesSent(CamsimAdmin& admin) {
    const std::string stats = admin.Send("stats");
    return stats.rfind("frames=", 0) == 0 ? std::stoull(stats.substr(7)) : 0;
}

bool Streaming(CamsimAdmin& admin) {
    return admin.Send("stats").find("streaming=1") != std::string::npos;
}

// Frames the callback copies out of the receive thread for the application thread.
struct CallbackRing {
    static constexpr uint32_t kSlots = 8;
    std::array<std::vector<uint16_t>, kSlots> slots;
    std::atomic<uint32_t> published{0};
    std::mutex mutex;
    std::condition_variable arrived;
    CallbackRing() {
        for (auto& slot : slots) slot.resize(kPixels);
    }
};

// On the receive thread: one copy and a wake-up, nothing that blocks.
int OnFrame(uint8_t* frame, FrameInfo* info, void* context) {
    auto* ring = static_cast<CallbackRing*>(context);
    const uint32_t n = ring->published.load(std::memory_order_relaxed);
    std::memcpy(ring->slots[n % CallbackRing::kSlots].data(), frame,
                std::min<size_t>(info->byteCount, kPixels * 2));
    ring->published.store(n + 1, std::memory_order_release);
    ring->arrived.notify_one();
    return 0;
}

struct Result {
    uint64_t sent = 0;
    double captured = 0;
    uint32_t completed = 0, seen = 0, mapped = 0, polls = 0;
    double appCpu = 0, rxCpu = 0;
};

class LiveRun {
  public:
    LiveRun(ZelIrHandle handle, CamsimAdmin& admin)
        : handle_(handle),
          admin_(admin),
          camera_(static_cast<CIRDeviceManager*>(handle)->Camera()),
          digits_(kPixels),
          image_(kPixels) {}

    Result Run(double rate, double seconds, bool callback) {
        const auto frames = static_cast<uint32_t>(rate * seconds);
        admin_.Send("set --rate " + std::to_string(rate) + " --frames " + std::to_string(frames));
        zelir::gige::NetInterface& channel = *camera_->Channel();
        CallbackRing ring;
        if (callback) ZelIr_SetCallBackFun(handle_, &OnFrame, &ring);

        Result r;
        const uint64_t sentBefore = FramesSent(admin_);
        const uint32_t completedBefore = channel.Frames().FrameCount();
        uint32_t recvBefore = 0, dropBefore = 0, recvAfter = 0, dropAfter = 0;
        double rxBefore = 0, rxAfter = 0;
        channel.CaptureStats(recvBefore, dropBefore);
        channel.ReceiveThreadCpuSeconds(rxBefore);
        const double cpuBefore = ThreadCpuSeconds();
        zelir::gige::WriteRegister({&channel, camera_->Endpoint()}, 27, 1);

        uint32_t frameId = ZelIr_GetFrameID(handle_);
        uint32_t taken = 0;  // ring frames taken by the application
        // Pull mode polls as an application that knows the frame rate would: from shortly
        // before the next frame is due, every 200 us until it is there.
        const auto interval = std::chrono::duration<double>(1.0 / rate);
        const auto early = std::chrono::duration_cast<Clock::duration>(interval * 0.8);
        Clock::time_point nextPoll = Clock::now();
        const auto deadline = Clock::now() + std::chrono::duration<double>(seconds * 3 + 2);
        Clock::time_point nextCheck = Clock::now();
        bool finished = false;
        Clock::time_point finishedAt{};
        double checking = 0;
        while (Clock::now() < deadline) {
            if (callback) {
                std::unique_lock<std::mutex> lock(ring.mutex);
                ring.arrived.wait_for(lock, std::chrono::milliseconds(5), [&] {
                    return ring.published.load(std::memory_order_acquire) != taken;
                });
                lock.unlock();
                const uint32_t published = ring.published.load(std::memory_order_acquire);
                if (published != taken) {
                    // A frame overwritten before it was taken is lost to the application.
                    if (published - taken > CallbackRing::kSlots) {
                        taken = published - CallbackRing::kSlots;
                    }
                    Map(ring.slots[taken % CallbackRing::kSlots].data());
                    ++taken;
                }
            } else {
                std::this_thread::sleep_until(nextPoll);
                ++polls_;
                if (ZelIr_GetNewArray(handle_) == 1 && ZelIr_GetFrameID(handle_) != frameId) {
                    frameId = ZelIr_GetFrameID(handle_);
                    ++r.seen;
                    ZelIr_GetDigitArray(handle_, digits_.data(), nullptr);
                    Map(digits_.data());
                    nextPoll = Clock::now() + early;
                } else {
                    nextPoll = Clock::now() + kPollPause;
                }
            }
            // The emulator stops after its frames; a little later the last one is in. Asking
            // it is the benchmark's own work: its CPU time is not the application's.
            if (Clock::now() >= nextCheck) {
                const double checkStart = ThreadCpuSeconds();
                nextCheck = Clock::now() + std::chrono::milliseconds(20);
                if (!finished && FramesSent(admin_) >= sentBefore + frames && !Streaming(admin_)) {
                    finished = true;
                    finishedAt = Clock::now();
                }
                checking += ThreadCpuSeconds() - checkStart;
                if (finished && Clock::now() - finishedAt > std::chrono::milliseconds(60)) break;
            }
        }
        r.appCpu = ThreadCpuSeconds() - cpuBefore - checking;
        channel.CaptureStats(recvAfter, dropAfter);
        channel.ReceiveThreadCpuSeconds(rxAfter);
        if (callback) {
            ZelIr_SetCallBackFun(handle_, &OnFrame, nullptr);
            r.seen = ring.published.load();
        }
        r.mapped = mapped_;
        r.polls = polls_;
        mapped_ = 0;
        polls_ = 0;
        r.sent = FramesSent(admin_) - sentBefore;
        r.completed = channel.Frames().FrameCount() - completedBefore;
        r.captured = static_cast<double>((recvAfter - recvBefore) - (dropAfter - dropBefore)) /
                     kPacketsPerFrame;
        r.rxCpu = rxAfter - rxBefore;
        return r;
    }

  private:
    void Map(const uint16_t* digits) {
        ZelIr_DigitArrayToBmp(handle_, digits, image_.data(), 0, 0, nullptr);
        ++mapped_;
    }

    ZelIrHandle handle_;
    CamsimAdmin& admin_;
    CGNetDevice* camera_;
    std::vector<uint16_t> digits_;
    std::vector<uint8_t> image_;
    uint32_t mapped_ = 0;
    uint32_t polls_ = 0;
};

// Baselines on the application thread: a memcpy of one frame, and the mapping alone.
double MemcpyMicroseconds(const std::vector<uint16_t>& frame) {
    std::vector<uint16_t> copy(frame.size());
    constexpr int kRounds = 400;
    const double start = ThreadCpuSeconds();
    for (int i = 0; i < kRounds; ++i) {
        std::memcpy(copy.data(), frame.data(), frame.size() * 2);
        asm volatile("" : : "r"(copy.data()) : "memory");
    }
    return (ThreadCpuSeconds() - start) / kRounds * 1e6;
}

double MappingMicroseconds(ZelIrHandle handle, const std::vector<uint16_t>& frame) {
    std::vector<uint8_t> image(kPixels);
    constexpr int kRounds = 200;
    const double start = ThreadCpuSeconds();
    for (int i = 0; i < kRounds; ++i) {
        ZelIr_DigitArrayToBmp(handle, frame.data(), image.data(), 0, 0, nullptr);
    }
    return (ThreadCpuSeconds() - start) / kRounds * 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 3.0;
    std::vector<double> rates;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else {
            rates.push_back(std::atof(argv[i]));
        }
    }
    if (rates.empty()) rates = {60, 180};

    CamsimAdmin admin("198.18.0.2");
    if (admin.Send("reset") != "ok") {
        std::fprintf(stderr,
                     "zelir-camsim does not answer on 198.18.0.2:3999: run inside "
                     "zelir-h with the emulators up (run_live_bench.sh)\n");
        return 1;
    }
    // Two frames at open, then the stream stands still until each run starts it. Every start
    // numbers its frames from 1 again, so the frame held from before (id 2, then the last of
    // the previous run) never passes for the first new one.
    admin.Send("set --frames 2");
    ZelIrHandle handle = ZelIr_OpenDevice(L"gige://198.18.0.2", nullptr);
    if (handle == nullptr) {
        std::fprintf(stderr, "cannot open the camera at 198.18.0.2\n");
        return 1;
    }
    while (Streaming(admin)) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ZelIr_GetNewArray(handle);
    std::vector<uint16_t> frame(kPixels);
    ZelIr_GetDigitArray(handle, frame.data(), nullptr);
    const double copyUs = MemcpyMicroseconds(frame);
    const double mapUs = MappingMicroseconds(handle, frame);
    std::printf("baselines per frame: memcpy %.1f us, ZelIr_DigitArrayToBmp alone %.1f us\n",
                copyUs, mapUs);

    LiveRun live(handle, admin);
    std::printf("%6s %9s %6s %9s %9s %6s %7s %6s %13s %9s %9s %12s\n", "rate/s", "mode", "sent",
                "captured", "completed", "seen", "mapped", "polls", "app us/frame", "x memcpy",
                "x map", "rx us/frame");
    for (double rate : rates) {
        for (bool callback : {false, true}) {
            const Result r = live.Run(rate, seconds, callback);
            const double appUs = r.mapped ? r.appCpu / r.mapped * 1e6 : 0.0;
            std::printf("%6.0f %9s %6llu %9.1f %9u %6u %7u %6u %13.1f %9.2f %9.2f %12.1f\n", rate,
                        callback ? "callback" : "pull", static_cast<unsigned long long>(r.sent),
                        r.captured, r.completed, r.seen, r.mapped, r.polls, appUs, appUs / copyUs,
                        appUs / mapUs, r.completed ? r.rxCpu / r.completed * 1e6 : 0.0);
            std::fflush(stdout);
        }
    }
    ZelIr_Close(handle);
    admin.Send("reset");
    return 0;
}
