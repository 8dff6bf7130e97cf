// Control exchanges on both transports against a bare UDP socket round trip to the same
// emulator, measured in the same run: the median round trip of one framed message, and a 1 MiB
// array transfer in 512-byte acknowledged blocks against as many bare exchanges of block-sized
// messages (their mean: a transfer pays for the slow ones too).
// Runs inside zelir-h with the emulator up: bench/commands/run_array_bench.sh does both.
#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "gige/block_transfer.h"
#include "gige/command_message.h"
#include "gige/control_channel.h"
#include "support/net_adapters.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;
using Clock = std::chrono::steady_clock;

constexpr uint16_t kScratchSetting = 0x7000;  // a setting id the emulator keeps and ignores
constexpr int kSamples = 2000;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Mean(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return sum / static_cast<double>(v.size());
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

// Round trips of the same device command through a plain connected UDP socket.
std::vector<double> BareRoundTrips(const CommandMessage& message, uint32_t camera, int count) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kControlPort);
    to.sin_addr.s_addr = camera;
    timeval timeout{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) Fail("connect");
    ControlState state;
    std::vector<double> samples;
    uint8_t reply[600];
    for (int i = 0; i < count; ++i) {
        const uint32_t length =
            BuildDeviceCommand(state, message.GetMessage(), message.GetMessageLength(), true);
        const auto start = Clock::now();
        send(fd, state.cmd.data(), length, 0);
        if (recv(fd, reply, sizeof reply, 0) <= 0) Fail("bare exchange lost");
        samples.push_back(Seconds(start));
    }
    close(fd);
    return samples;
}

std::vector<double> RoundTrips(const CommandMessage& message, const ControlTarget& target,
                               int count) {
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        if (DeviceCommand(target, message.GetMessage(), message.GetMessageLength(), true, {},
                          nullptr) != 0) {
            Fail("exchange " + std::to_string(i) + " failed");
        }
        samples.push_back(Seconds(start));
    }
    return samples;
}

std::string Field(const std::string& state, const std::string& key) {
    const size_t at = state.find(key + "=");
    if (at == std::string::npos) return "";
    const size_t from = at + key.size() + 1;
    return state.substr(from, state.find(' ', from) - from);
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t size = 1 << 20;
    int rounds = 5;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--bytes") size = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 0));
        if (name == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    if (EnumerateAdapters() != 0 || AdapterIndex("zh0") < 0) {
        Fail("no zh0 adapter: run inside zelir-h (scripts/netns.sh up)");
    }
    const auto adapter = static_cast<uint32_t>(AdapterIndex("zh0"));
    const CameraEndpoint camera{CameraMac("zc0"), inet_addr("198.18.0.2")};
    CamsimAdmin admin;
    if (admin.Send("reset") != "ok") Fail("zelir-camsim does not answer on 198.18.0.2:3999");

    std::vector<uint8_t> data(size);
    std::mt19937 random(42);
    for (uint8_t& b : data) b = static_cast<uint8_t>(random());
    const uint32_t blocks = (size + kArrayBlockBytes - 1) / kArrayBlockBytes;
    const uint32_t exchanges = blocks + 2;  // start and end messages
    CommandMessage small, block;
    const std::vector<uint8_t> word(4, 0), bytes(kArrayBlockBytes + kMessageParameterSize, 0x5A);
    small.BuildMessage(kScratchSetting, 1, word.data(), 4);
    block.BuildMessage(kScratchSetting, 1, bytes.data(), static_cast<uint32_t>(bytes.size()));

    const double bare = Median(BareRoundTrips(small, camera.address, kSamples));
    // A transfer pays every exchange, slow ones included: its baseline is the mean.
    const double bareBlock =
        Mean(BareRoundTrips(block, camera.address, static_cast<int>(exchanges)));
    std::printf(
        "median of %d round trips; %u-byte array in %u blocks (%u exchanges), median of "
        "%d transfers\n",
        kSamples, size, blocks, exchanges, rounds);
    std::printf("%-26s %10s %8s %12s %8s %10s %8s\n", "path", "rtt us", "ratio", "transfer ms",
                "MB/s", "blocks us", "ratio");
    std::printf("%-26s %10.1f %8.2f %12s %8s %10.1f %8s\n", "bare UDP socket (baseline)",
                bare * 1e6, 1.0, "-", "-", bareBlock * 1e6, "-");
    for (const char* transport : {"capture", "socket"}) {
        setenv("ZELIR_TRANSPORT", transport, 1);
        NetInterface channel(adapter, 640, 512);
        if (channel.OpenAdapter(adapter, &camera) != 0) Fail(std::string("no ") + transport);
        const ControlTarget target{&channel, camera};
        const double rtt = Median(RoundTrips(small, target, kSamples));
        std::vector<double> transfers;
        for (int round = 0; round < rounds; ++round) {
            CommandMessage message;
            const auto start = Clock::now();
            const uint32_t done = TransmitArray(message, target, data.data(), size, 1, {});
            transfers.push_back(Seconds(start));
            const std::string state = admin.Send("state transfer");
            if (done != 100 || Field(state, "ended") != "1" ||
                Field(state, "size") != std::to_string(size)) {
                Fail("transfer incomplete (" + std::to_string(done) + " %): " + state);
            }
        }
        const double time = Median(transfers);
        std::printf("%-26s %10.1f %8.2f %12.1f %8.2f %10.1f %8.2f\n",
                    (std::string(transport) + " transport").c_str(), rtt * 1e6, rtt / bare,
                    time * 1e3, size / time / 1e6, time / exchanges * 1e6,
                    time / (exchanges * bareBlock));
        channel.Stop();
    }
    return 0;
}
