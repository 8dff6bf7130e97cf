// Per-frame cost of movie playback (ZelIr_GetNewArray) against fread of the same bytes, and of
// playback while recording against fread followed by fwrite of each frame.
#include <benchmark/benchmark.h>
#include <zelir/zelir.h>

#include <cstdio>
#include <vector>

#include "support/test_files.h"

namespace {

constexpr uint16_t kW = 640;
constexpr uint16_t kH = 512;
constexpr uint32_t kFrames = 40;
constexpr size_t kFrameBytes = size_t{kW} * kH * 2;
// Recordings are restarted so the scratch file stays small.
constexpr int kFramesPerRecording = 100;

const zelir_test::ScratchDir& Dir() {
    static const zelir_test::ScratchDir dir("bench-movie");
    static const bool written = [] {
        std::vector<zelir_test::Frame> frames;
        for (uint32_t i = 0; i < kFrames; ++i)
            frames.push_back(zelir_test::NumberedFrame(kW, kH, i));
        zelir_test::WriteMovie(dir.File("movie.irm"), kW, kH, frames, kFrames);
        return true;
    }();
    (void)written;
    return dir;
}

void BM_PlainFread(benchmark::State& state) {
    FILE* file = std::fopen(Dir().File("movie.irm").c_str(), "rb");
    std::vector<uint8_t> frame(kFrameBytes);
    uint32_t index = 0;
    for (auto _ : state) {
        if (index == kFrames) index = 0;
        std::fseek(file, long(64 + index * kFrameBytes), SEEK_SET);
        benchmark::DoNotOptimize(std::fread(frame.data(), 1, kFrameBytes, file));
        ++index;
    }
    std::fclose(file);
}

void BM_GetNewArray(benchmark::State& state) {
    ZelIrHandle movie = ZelIr_MovieFileOpen(Dir().WideFile("movie.irm").c_str());
    for (auto _ : state) benchmark::DoNotOptimize(ZelIr_GetNewArray(movie));
    ZelIr_Close(movie);
}

void BM_PlainFreadFwrite(benchmark::State& state) {
    FILE* in = std::fopen(Dir().File("movie.irm").c_str(), "rb");
    FILE* out = nullptr;
    std::vector<uint8_t> frame(kFrameBytes);
    uint32_t index = 0;
    int written = kFramesPerRecording;
    for (auto _ : state) {
        if (written == kFramesPerRecording) {
            state.PauseTiming();
            if (out != nullptr) std::fclose(out);
            out = std::fopen(Dir().File("plain.irm").c_str(), "wb");
            written = 0;
            state.ResumeTiming();
        }
        if (index == kFrames) index = 0;
        std::fseek(in, long(64 + index * kFrameBytes), SEEK_SET);
        benchmark::DoNotOptimize(std::fread(frame.data(), 1, kFrameBytes, in));
        std::fwrite(frame.data(), 1, kFrameBytes, out);
        ++index;
        ++written;
    }
    std::fclose(out);
    std::fclose(in);
}

void BM_GetNewArrayRecording(benchmark::State& state) {
    ZelIrHandle movie = ZelIr_MovieFileOpen(Dir().WideFile("movie.irm").c_str());
    const std::wstring path = Dir().WideFile("recorded.irm");
    int written = kFramesPerRecording;
    for (auto _ : state) {
        if (written == kFramesPerRecording) {
            state.PauseTiming();
            ZelIr_StartRecordMovie(movie, path.c_str());  // finishes the previous one first
            written = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(ZelIr_GetNewArray(movie));
        ++written;
    }
    ZelIr_StopRecordMovie(movie);
    ZelIr_Close(movie);
}

}  // namespace

BENCHMARK(BM_PlainFread)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetNewArray)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainFreadFwrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetNewArrayRecording)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
