// ZelIr_GetTempArray at 640x512 and 1280x1024 beside a memcpy of the same float output (the
// least any conversion must do), and the cost of rebuilding the table when a parameter changes.
#include <benchmark/benchmark.h>
#include <zelir/zelir.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "support/radiometry_model.h"
#include "support/test_files.h"

namespace {

// A raw image of a warm scene (15..140 C) in the emulated camera's digit values.
class SceneHandle {
  public:
    SceneHandle(int width, int height) : dir_("bench-temperature") {
        std::vector<uint16_t> digits(size_t(width) * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const double t = 15.0 + 100.0 * x / width + 25.0 * y / height;
                digits[size_t(y) * width + x] =
                    uint16_t(std::lround(zelir_test::ModelDigits(zelir_test::kEmulatedModel, t)));
            }
        }
        std::vector<uint8_t> bytes(digits.size() * 2);
        std::memcpy(bytes.data(), digits.data(), bytes.size());
        zelir_test::WriteBytes(dir_.File("scene.raw"), bytes);
        handle_ = ZelIr_RawImageOpen(dir_.WideFile("scene.raw").c_str());
        ZelIr_GetNewArray(handle_);
        ZelIr_SetRadiometry(handle_, &zelir_test::kEmulatedModel);
    }
    ~SceneHandle() { ZelIr_Close(handle_); }
    ZelIrHandle get() const { return handle_; }

  private:
    zelir_test::ScratchDir dir_;
    ZelIrHandle handle_ = nullptr;
};

void SetBytes(benchmark::State& state, size_t pixels) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels * sizeof(float)));
}

void BM_TempArray(benchmark::State& state) {
    SceneHandle scene(int(state.range(0)), int(state.range(1)));
    std::vector<float> celsius(size_t(state.range(0) * state.range(1)));
    if (ZelIr_GetTempArray(scene.get(), celsius.data()) != 1) state.SkipWithError("no conversion");
    for (auto _ : state) {
        ZelIr_GetTempArray(scene.get(), celsius.data());
        benchmark::DoNotOptimize(celsius.data());
        benchmark::ClobberMemory();
    }
    SetBytes(state, celsius.size());
}

void BM_MemcpyFloat(benchmark::State& state) {
    const size_t pixels = size_t(state.range(0) * state.range(1));
    std::vector<float> source(pixels, 21.5f), celsius(pixels);
    for (auto _ : state) {
        std::memcpy(celsius.data(), source.data(), pixels * sizeof(float));
        benchmark::DoNotOptimize(celsius.data());
        benchmark::ClobberMemory();
    }
    SetBytes(state, pixels);
}

// A parameter change costs one rebuild of the 65,536-entry table before the next conversion.
void BM_TableRebuild(benchmark::State& state) {
    SceneHandle scene(640, 512);
    ZelIrObjectParams object{1.0f, 20.0f, 1.0f, 20.0f};
    float sink = 0;
    for (auto _ : state) {
        object.emissivity = object.emissivity == 1.0f ? 0.95f : 1.0f;
        ZelIr_SetObjectParams(scene.get(), &object);
        sink += ZelIr_DigitToTemp(scene.get(), 3000);
    }
    benchmark::DoNotOptimize(sink);
}

}  // namespace

BENCHMARK(BM_TempArray)->Args({640, 512})->Args({1280, 1024})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyFloat)->Args({640, 512})->Args({1280, 1024})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TableRebuild)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
