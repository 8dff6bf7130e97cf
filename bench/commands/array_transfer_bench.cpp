// Array transfer benchmark: 1 MiB to zelir-camsim in 512-byte acknowledged blocks, against the
// time the same number of bare acknowledged exchanges takes, measured in the same run.
// Every block waits for its acknowledgement, so the round trip sets the pace; the ratio shows
// what the transfer adds on top (building, copying, the progress bookkeeping).
// Runs inside zelir-h with the emulator up: bench/commands/run_array_bench.sh does both.
#include <arpa/inet.h>

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
#include "net/net_harness.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;
using Clock = std::chrono::steady_clock;

constexpr uint16_t kScratchSetting = 0x7000;  // a setting id the emulator keeps and ignores

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Mean time of `count` acknowledged exchanges of the message built in `message`.
double RoundTrip(CommandMessage& message, const ControlTarget& target, int count) {
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        const uint32_t length = BuildDeviceCommand(target.channel->Control(), message.GetMessage(),
                                                   message.GetMessageLength(), true);
        if (Transact(*target.channel, target.camera.mac, target.camera.address, length, nullptr,
                     kBlockTimeoutMs) != 0) {
            std::fprintf(stderr, "exchange %d failed\n", i);
            std::exit(1);
        }
    }
    return Seconds(start) / count;
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
        std::fprintf(stderr, "no zh0 adapter: run inside zelir-h (scripts/netns.sh up)\n");
        return 1;
    }
    const auto adapter = static_cast<uint32_t>(AdapterIndex("zh0"));
    const CameraEndpoint camera{CameraMac("zc0"), inet_addr("198.18.0.2")};
    NetInterface channel(adapter, 640, 512);
    if (channel.OpenAdapter(adapter, &camera) != 0) return 1;
    const ControlTarget target{&channel, camera};
    CamsimAdmin admin;
    if (admin.Send("reset") != "ok") {
        std::fprintf(stderr, "zelir-camsim does not answer on 198.18.0.2:3999\n");
        return 1;
    }

    std::vector<uint8_t> data(size);
    std::mt19937 random(42);
    for (uint8_t& b : data) b = static_cast<uint8_t>(random());
    const uint32_t blocks = (size + kArrayBlockBytes - 1) / kArrayBlockBytes;
    const uint32_t exchanges = blocks + 2;  // start and end messages

    CommandMessage message;
    const std::vector<uint8_t> word(4, 0);
    const std::vector<uint8_t> block(kArrayBlockBytes + kMessageParameterSize, 0x5A);
    std::vector<double> small, full, transfer;
    for (int round = 0; round < rounds; ++round) {
        // Baselines: the bare exchange with a 4-byte message, and with a block-sized one.
        message.BuildMessage(kScratchSetting, 1, word.data(), 4);
        small.push_back(RoundTrip(message, target, 500));
        message.BuildMessage(kScratchSetting, 1, block.data(), block.size());
        full.push_back(RoundTrip(message, target, 500));

        const auto start = Clock::now();
        const uint32_t done = TransmitArray(message, target, data.data(), size, 1, {});
        transfer.push_back(Seconds(start));
        const std::string state = admin.Send("state transfer");
        if (done != 100 || Field(state, "ended") != "1" ||
            Field(state, "size") != std::to_string(size)) {
            std::fprintf(stderr, "transfer incomplete (%u %%): %s\n", done, state.c_str());
            return 1;
        }
    }
    const double rttSmall = Median(small);
    const double rttFull = Median(full);
    const double time = Median(transfer);
    std::printf("array transfer of %u bytes: %u blocks, %u acknowledged exchanges, median of %d\n",
                size, blocks, exchanges, rounds);
    std::printf("%-44s %12s %12s %10s\n", "measure", "time", "per exchange", "ratio");
    std::printf("%-44s %10.1f ms %9.1f us %10.2f\n", "TransmitArray (1 MiB)", time * 1e3,
                time / exchanges * 1e6, time / (exchanges * rttSmall));
    std::printf("%-44s %10.1f ms %9.1f us %10.2f\n",
                "baseline: exchanges x round trip, 16-byte msg", exchanges * rttSmall * 1e3,
                rttSmall * 1e6, 1.0);
    std::printf("%-44s %10.1f ms %9.1f us %10.2f\n", "exchanges x round trip, 528-byte msg",
                exchanges * rttFull * 1e3, rttFull * 1e6, rttFull / rttSmall);
    std::printf("throughput: %.2f MB/s\n", size / time / 1e6);
    channel.Stop();
    return 0;
}
