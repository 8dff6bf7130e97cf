// MapToY8 with the automatic linear type (histogram cuts, then a linear map to 8 bits) at
// 640x512 and 1280x1024, beside a memcpy of the same frame and the OpenCV pipeline that gives
// the same result (minMaxLoc and calcHist for the cuts, convertTo with scale and offset).
#include <benchmark/benchmark.h>
#include <zelir/zelir.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstring>
#include <vector>

#include "support/test_files.h"

namespace {

struct Frame16 {
    int width;
    int height;
    std::vector<uint16_t> digits;
};

Frame16 Scene(int width, int height) {
    Frame16 frame{width, height, std::vector<uint16_t>(size_t(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double d = std::hypot(x - width * 0.6, y - height * 0.5);
            frame.digits[size_t(y) * width + x] =
                static_cast<uint16_t>(6000 + 3 * x + 2 * y + 4000 * std::exp(-d * d / 4000.0) +
                                      ((x * 7919 + y * 104729) % 61));
        }
    }
    return frame;
}

// An image handle of the frame's size, to map through.
class RawHandle {
  public:
    explicit RawHandle(const Frame16& frame) : dir_("bench-map") {
        const std::string path = dir_.File("frame.raw");
        std::vector<uint8_t> bytes(frame.digits.size() * 2);
        std::memcpy(bytes.data(), frame.digits.data(), bytes.size());
        zelir_test::WriteBytes(path, bytes);
        handle_ = ZelIr_RawImageOpen(dir_.WideFile("frame.raw").c_str());
        ZelIr_SetBrihgtContrastType(handle_, 0);
    }
    ~RawHandle() { ZelIr_Close(handle_); }
    ZelIrHandle get() const { return handle_; }

  private:
    zelir_test::ScratchDir dir_;
    ZelIrHandle handle_ = nullptr;
};

void BM_MapToY8(benchmark::State& state) {
    const Frame16 frame = Scene(int(state.range(0)), int(state.range(1)));
    RawHandle handle(frame);
    std::vector<uint8_t> out(frame.digits.size());
    for (auto _ : state) {
        ZelIr_DigitArrayToBmp(handle.get(), frame.digits.data(), out.data(), 0, 1, nullptr);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frame.digits.size() * 2));
}

void BM_MapToY8Flipped(benchmark::State& state) {
    const Frame16 frame = Scene(int(state.range(0)), int(state.range(1)));
    RawHandle handle(frame);
    std::vector<uint8_t> out(frame.digits.size());
    for (auto _ : state) {
        ZelIr_DigitArrayToBmp(handle.get(), frame.digits.data(), out.data(), 0, 0, nullptr);
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_MemcpyFrame(benchmark::State& state) {
    const Frame16 frame = Scene(int(state.range(0)), int(state.range(1)));
    std::vector<uint16_t> copy(frame.digits.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), frame.digits.data(), frame.digits.size() * 2);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(frame.digits.size() * 2));
}

// The obvious OpenCV pipeline: range, histogram over it, the 0.5 % cuts, then one convertTo.
void BM_OpenCvPipeline(benchmark::State& state) {
    Frame16 frame = Scene(int(state.range(0)), int(state.range(1)));
    const cv::Mat src(frame.height, frame.width, CV_16UC1, frame.digits.data());
    cv::Mat hist;
    cv::Mat dst(frame.height, frame.width, CV_8UC1);
    const double cut = 0.005 * double(frame.digits.size());
    for (auto _ : state) {
        double lo = 0;
        double hi = 0;
        cv::minMaxLoc(src, &lo, &hi);
        const int bins = int(hi - lo) + 1;
        const float range[] = {float(lo), float(hi + 1)};
        const float* ranges[] = {range};
        cv::calcHist(&src, 1, nullptr, cv::Mat(), hist, 1, &bins, ranges);
        double sum = 0;
        int low = 0;
        while (low < bins - 1 && (sum += hist.at<float>(low)) < cut) ++low;
        sum = 0;
        int high = bins - 1;
        while (high > low && (sum += hist.at<float>(high)) < cut) --high;
        const double scale = 255.0 / std::max(1, high - low);
        src.convertTo(dst, CV_8U, scale, -(lo + low) * scale);
        benchmark::DoNotOptimize(dst.data);
    }
}

}  // namespace

#define SIZES ->Args({640, 512})->Args({1280, 1024})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_MemcpyFrame) SIZES;
BENCHMARK(BM_MapToY8) SIZES;
BENCHMARK(BM_MapToY8Flipped) SIZES;
BENCHMARK(BM_OpenCvPipeline) SIZES;
BENCHMARK_MAIN();
