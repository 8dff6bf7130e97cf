// Cost of one stream packet through the receive path, against the plain 1,280-byte memcpy
// that every packet needs anyway.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gige/captured_frames.h"
#include "gige/net_interface.h"
#include "gige/stream_packets.h"

namespace {

using namespace zelir::gige;
using namespace zelir::test;

constexpr uint32_t kPackets = 513;

std::vector<Packet> FramePackets(uint16_t blockId) {
    FrameSpec f;
    f.blockId = blockId;
    std::vector<Packet> packets;
    for (uint32_t k = 0; k < kPackets; ++k) packets.push_back(MakePacket(f, k));
    return packets;
}

void BM_Memcpy1280(benchmark::State& state) {
    // Same destination pattern as the slots: 513 packets into an 8-slot ring of frames.
    std::vector<uint8_t> source(kPackets * 1290);
    std::vector<uint8_t> slots(8 * size_t{kPackets} * 1280);
    uint32_t k = 0, slot = 0;
    for (auto _ : state) {
        std::memcpy(&slots[(size_t{slot} * kPackets + k) * 1280], &source[size_t{k} * 1290 + 10],
                    1280);
        if (++k == kPackets) k = 0, slot = (slot + 1) % 8;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Memcpy1280);

void BM_ReassemblePacket(benchmark::State& state) {
    FrameAssembler frames(640, 512);
    // Two frames with different block ids, alternating, so every frame is published.
    const std::vector<Packet> a = FramePackets(1), b = FramePackets(2);
    uint32_t k = 0;
    bool second = false;
    for (auto _ : state) {
        frames.HandlePacket((second ? b : a)[k]);
        if (++k == kPackets) k = 0, second = !second;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReassemblePacket);

// The receive thread's whole per-packet work: port sorting plus reassembly.
void BM_CapturedStreamPacket(benchmark::State& state) {
    NetInterface channel(0, 640, 512);
    std::vector<std::vector<uint8_t>> a, b;
    for (const Packet& p : FramePackets(1)) a.push_back(CapturedUdp(3958, p));
    for (const Packet& p : FramePackets(2)) b.push_back(CapturedUdp(3958, p));
    uint32_t k = 0;
    bool second = false;
    for (auto _ : state) {
        channel.HandleCapturedPacket((second ? b : a)[k]);
        if (++k == kPackets) k = 0, second = !second;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CapturedStreamPacket);

}  // namespace

BENCHMARK_MAIN();
