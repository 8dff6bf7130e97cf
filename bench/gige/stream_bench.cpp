// Live stream benchmark: 640 x 512 x 16-bit frames from zelir-camsim at rising rates through
// the veth pair, on each transport. Reports frames sent, frames' worth of packets that reached
// the host (the capture's or the socket's count, kernel drops included), those the kernel
// dropped, frames the SDK completed, and the receive thread's CPU time per frame.
// Runs inside zelir-h with the emulator up: bench/gige/run_stream_bench.sh does both.
#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "gige/control_channel.h"
#include "support/net_adapters.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kPacketsPerFrame = 513;

uint64_t Stat(CamsimAdmin& admin, const char* key) {
    const std::string stats = admin.Send("stats");
    const size_t at = stats.find(key);
    return at == std::string::npos ? 0 : std::stoull(stats.substr(at + std::strlen(key)));
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
    if (rates.empty()) rates = {30, 60, 120, 180, 200, 240};

    if (EnumerateAdapters() != 0 || AdapterIndex("zh0") < 0) {
        std::fprintf(stderr, "no zh0 adapter: run inside zelir-h (scripts/netns.sh up)\n");
        return 1;
    }
    const auto adapter = static_cast<uint32_t>(AdapterIndex("zh0"));
    const CameraEndpoint camera{CameraMac("zc0"), inet_addr("198.18.0.2")};
    CamsimAdmin admin;
    if (admin.Send("reset") != "ok") {
        std::fprintf(stderr, "zelir-camsim does not answer on 198.18.0.2:3999\n");
        return 1;
    }

    std::printf("%8s %8s %9s %8s %8s %10s %10s %10s %8s %12s %10s\n", "path", "rate/s", "achieved",
                "line", "sent", "reached", "dropped", "completed", "lost", "rx us/frame",
                "rx core %");
    for (const char* transport : {"capture", "socket"}) {
        setenv("ZELIR_TRANSPORT", transport, 1);
        NetInterface channel(adapter, 640, 512);
        if (channel.OpenAdapter(adapter, &camera) != 0) return 1;
        const ControlTarget target{&channel, camera};
        for (double rate : rates) {
            // Above the 1 GbE equivalent (about 180 frames/s) the packets are paced faster.
            const uint32_t line =
                rate > 180 ? static_cast<uint32_t>(rate / 180.0 * 1000 + 50) : 1000;
            const auto frames = static_cast<uint32_t>(rate * seconds);
            admin.Send("set --rate " + std::to_string(rate) + " --frames " +
                       std::to_string(frames) + " --line-rate-mbps " + std::to_string(line));
            const uint64_t sentBefore = Stat(admin, "frames=");
            const uint32_t completedBefore = channel.Frames().FrameCount();
            uint32_t recvBefore = 0, dropBefore = 0, recvAfter = 0, dropAfter = 0;
            double cpuBefore = 0, cpuAfter = 0;
            channel.CaptureStats(recvBefore, dropBefore);
            channel.ReceiveThreadCpuSeconds(cpuBefore);
            const auto start = Clock::now();
            if (WriteRegister(target, 27, 1) != 0) return 1;
            while (Stat(admin, "frames=") < sentBefore + frames &&
                   Clock::now() - start < std::chrono::duration<double>(seconds * 3 + 2)) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            const double streamed = std::chrono::duration<double>(Clock::now() - start).count();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const double wall = std::chrono::duration<double>(Clock::now() - start).count();
            channel.CaptureStats(recvAfter, dropAfter);
            channel.ReceiveThreadCpuSeconds(cpuAfter);
            WriteRegister(target, 27, 0);

            const uint64_t sent = Stat(admin, "frames=") - sentBefore;
            const uint32_t completed = channel.Frames().FrameCount() - completedBefore;
            const uint32_t dropped = dropAfter - dropBefore;
            const double reached = static_cast<double>(recvAfter - recvBefore) / kPacketsPerFrame;
            const double cpu = cpuAfter - cpuBefore;
            std::printf("%8s %8.0f %9.1f %8u %8llu %10.1f %10u %10u %8lld %12.1f %10.1f\n",
                        transport, rate, static_cast<double>(sent) / streamed, line,
                        static_cast<unsigned long long>(sent), reached, dropped, completed,
                        static_cast<long long>(sent) - completed,
                        completed ? cpu / completed * 1e6 : 0.0, cpu / wall * 100.0);
            std::fflush(stdout);
        }
        channel.Stop();
    }
    admin.Send("reset");
    return 0;
}
