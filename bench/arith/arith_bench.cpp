// Time per frame of each arithmetic operation beside the obvious OpenCV pipeline for the same
// result and a memcpy of the frame, all in the same run and on one core (OpenCV's own thread
// pool is limited to one thread, as the library runs on the caller's thread).
//   zelir_arith_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <random>
#include <vector>

#include "arith/zelir_arith.h"

namespace {

const bool oneThread = [] {
    cv::setNumThreads(1);
    return true;
}();

// A thermal-like scene: sky gradient with texture, a warm figure, a hot spot, noise.
struct Frames {
    int w, h;
    std::vector<std::uint16_t> raw;
    std::vector<std::uint8_t> grey;
    std::vector<std::uint8_t> out;
    cv::Mat raw16() { return cv::Mat(h, w, CV_16U, raw.data()); }
    cv::Mat grey8() { return cv::Mat(h, w, CV_8U, grey.data()); }
    cv::Mat out8() { return cv::Mat(h, w, CV_8U, out.data()); }
};

Frames& FramesOf(int w) {
    static Frames small{640, 512, {}, {}, {}}, large{1280, 1024, {}, {}, {}};
    Frames& f = w == 640 ? small : large;
    if (f.raw.empty()) {
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0, 6);
        f.raw.resize(std::size_t(f.w) * f.h);
        for (int y = 0; y < f.h; ++y) {
            for (int x = 0; x < f.w; ++x) {
                double v = 3000 + 400.0 * y / f.h + 60 * std::sin(x * 0.05) * std::cos(y * 0.07);
                const double dx = x - f.w * 0.4, dy = y - f.h * 0.55;
                if (dx * dx / 0.3 + dy * dy < (f.h * 0.25) * (f.h * 0.25)) v = 4200 + 3 * dx;
                const double ex = x - f.w * 0.8, ey = y - f.h * 0.2;
                if (ex * ex + ey * ey < 400) v = 12000;
                f.raw[std::size_t(y) * f.w + x] = std::uint16_t(v + noise(random));
            }
        }
        f.grey.resize(f.raw.size());
        f.out.resize(f.raw.size());
        cv::normalize(f.raw16(), f.grey8(), 0, 255, cv::NORM_MINMAX, CV_8U);
    }
    return f;
}

HISTOGRAM_INFO Record() {
    HISTOGRAM_INFO info;
    std::memset(&info, 0, sizeof(info));
    info.topCut = info.bottomCut = 5;
    return info;
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(640)->Arg(1280)->Unit(benchmark::kMicrosecond);
}

void Baseline_Memcpy(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    std::vector<std::uint16_t> copy(f.raw.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), f.raw.data(), f.raw.size() * 2);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(Baseline_Memcpy)->Apply(Sizes);

// --- correction ---------------------------------------------------------------------------

void GenY16_Full(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    arith.Init(f.w, f.h, L"", L"");
    std::mt19937 random(3);
    std::uniform_real_distribution<double> gains(0.9, 1.1), offsets(-200, 200);
    std::vector<std::uint16_t> low(f.raw.size()), high(f.raw.size());
    for (std::size_t i = 0; i < low.size(); ++i) {
        const double g = gains(random), o = offsets(random);
        low[i] = std::uint16_t(g * 3000 + o + 300);
        high[i] = i % 997 == 0 ? low[i] : std::uint16_t(g * 8000 + o + 300);  // 0.1 % dead
    }
    arith.SetLData(low.data(), 1);
    arith.GetLData(0, true);
    arith.SetHData(high.data(), 1);
    arith.GetHData();
    if (!arith.CalcK()) state.SkipWithError("calibration failed");
    // Corrected again and again in place: the values drift, the work per frame does not.
    std::vector<std::uint16_t> frame = f.raw;
    for (auto _ : state) {
        arith.GenY16(frame.data(), f.w, f.h, true);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(GenY16_Full)->Apply(Sizes);

void OpenCV_GainOffset(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    cv::Mat gain(f.h, f.w, CV_32F, cv::Scalar(1.01)), offset(f.h, f.w, CV_32F, cv::Scalar(3.0));
    cv::Mat work, frame(f.h, f.w, CV_16U);
    for (auto _ : state) {
        f.raw16().convertTo(work, CV_32F);
        cv::multiply(work, gain, work);
        cv::add(work, offset, work);
        work.convertTo(frame, CV_16U);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(OpenCV_GainOffset)->Apply(Sizes);

// --- linear maps --------------------------------------------------------------------------

void HistogramStatistics(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    HISTOGRAM_INFO info = Record();
    for (auto _ : state) arith.HistogramStatistics(f.raw.data(), f.out.data(), f.w, f.h, &info);
}
BENCHMARK(HistogramStatistics)->Apply(Sizes);

void AutoLinearMap(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    HISTOGRAM_INFO info = Record();
    arith.HistogramStatistics(f.raw.data(), f.out.data(), f.w, f.h, &info);
    for (auto _ : state) arith.AutoLinearMap(f.raw.data(), f.out.data(), f.w, f.h, &info, 0.2f);
}
BENCHMARK(AutoLinearMap)->Apply(Sizes);

void ManualLinearMap(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    HISTOGRAM_INFO info = Record();
    arith.HistogramStatistics(f.raw.data(), f.out.data(), f.w, f.h, &info);
    for (auto _ : state) {
        arith.ManualLinearMap(f.raw.data(), f.out.data(), f.w, f.h, &info, 0.2f, 60.0f, 40.0f);
    }
}
BENCHMARK(ManualLinearMap)->Apply(Sizes);

// What display mapping does for the linear types: statistics, then the map.
void StatisticsAndAutoLinearMap(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    HISTOGRAM_INFO info = Record();
    for (auto _ : state) {
        arith.HistogramStatistics(f.raw.data(), f.out.data(), f.w, f.h, &info);
        arith.AutoLinearMap(f.raw.data(), f.out.data(), f.w, f.h, &info, 0.2f);
    }
}
BENCHMARK(StatisticsAndAutoLinearMap)->Apply(Sizes);

void OpenCV_LinearMap(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    cv::Mat out = f.out8();
    for (auto _ : state) cv::normalize(f.raw16(), out, 0, 255, cv::NORM_MINMAX, CV_8U);
}
BENCHMARK(OpenCV_LinearMap)->Apply(Sizes);

// --- equalisation -------------------------------------------------------------------------

void RangeLimitedHistogramEqualization(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    HISTOGRAM_INFO info = Record();
    arith.HistogramStatistics(f.raw.data(), f.out.data(), f.w, f.h, &info);
    for (auto _ : state) {
        arith.RangeLimitedHistogramEqualization(f.raw.data(), f.out.data(), info.limit1,
                                                info.limit2, f.w, f.h);
    }
}
BENCHMARK(RangeLimitedHistogramEqualization)->Apply(Sizes);

void OpenCV_EqualizeHist(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    cv::Mat grey, out = f.out8();
    for (auto _ : state) {
        cv::normalize(f.raw16(), grey, 0, 255, cv::NORM_MINMAX, CV_8U);
        cv::equalizeHist(grey, out);
    }
}
BENCHMARK(OpenCV_EqualizeHist)->Apply(Sizes);

void MixedMap(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    for (auto _ : state) arith.MixedMap(f.raw.data(), f.out.data(), 50, 50, f.w, f.h);
}
BENCHMARK(MixedMap)->Apply(Sizes);

void OpenCV_MixedMap(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    cv::Mat grey, equalised, out = f.out8();
    for (auto _ : state) {
        cv::normalize(f.raw16(), grey, 0, 255, cv::NORM_MINMAX, CV_8U);
        cv::equalizeHist(grey, equalised);
        cv::addWeighted(grey, 0.5, equalised, 0.5, 0.0, out);
    }
}
BENCHMARK(OpenCV_MixedMap)->Apply(Sizes);

void Clahe(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    for (auto _ : state) {
        arith.ContrastLimitedAdaptiveHistogramEquazition(f.raw.data(), f.out.data(), 50, 50, f.w,
                                                         f.h);
    }
}
BENCHMARK(Clahe)->Apply(Sizes);

void OpenCV_Clahe8(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    auto clahe = cv::createCLAHE(4.0, cv::Size(8, 8));
    cv::Mat grey, out = f.out8();
    for (auto _ : state) {
        cv::normalize(f.raw16(), grey, 0, 255, cv::NORM_MINMAX, CV_8U);
        clahe->apply(grey, out);
    }
}
BENCHMARK(OpenCV_Clahe8)->Apply(Sizes);

void OpenCV_Clahe16(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    auto clahe = cv::createCLAHE(4.0, cv::Size(8, 8));
    cv::Mat equalised, out = f.out8();
    for (auto _ : state) {
        clahe->apply(f.raw16(), equalised);
        cv::normalize(equalised, out, 0, 255, cv::NORM_MINMAX, CV_8U);
    }
}
BENCHMARK(OpenCV_Clahe16)->Apply(Sizes);

// --- filters ------------------------------------------------------------------------------

void MSREnhancement(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    for (auto _ : state) arith.MSREnhancement(f.raw.data(), f.out.data(), 50, 50, f.w, f.h);
}
BENCHMARK(MSREnhancement)->Apply(Sizes);

void OpenCV_Retinex(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    cv::Mat image, blurred, sum, out = f.out8();
    for (auto _ : state) {
        f.raw16().convertTo(image, CV_32F, 1.0, 1.0);
        cv::log(image, image);
        sum = cv::Mat::zeros(image.size(), CV_32F);
        for (double sigma : {3.0, 12.0, 48.0}) {
            cv::GaussianBlur(image, blurred, cv::Size(0, 0), sigma);
            sum += image - blurred;
        }
        image += sum / 3.0;
        cv::normalize(image, out, 0, 255, cv::NORM_MINMAX, CV_8U);
    }
}
BENCHMARK(OpenCV_Retinex)->Apply(Sizes);

void BilateralFilterEnhancement(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    for (auto _ : state) {
        arith.BilateralFilterEnhancement(f.raw.data(), f.out.data(), 50, 50, f.w, f.h);
    }
}
BENCHMARK(BilateralFilterEnhancement)->Apply(Sizes);

void OpenCV_BilateralDetail(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    cv::Mat image, base, grey, out = f.out8();
    for (auto _ : state) {
        f.raw16().convertTo(image, CV_32F);
        cv::bilateralFilter(image, base, 9, 400.0, 8.0);
        cv::normalize(base, grey, 0, 255, cv::NORM_MINMAX, CV_8U);
        cv::equalizeHist(grey, grey);
        grey.convertTo(base, CV_32F);
        cv::addWeighted(base, 1.0, image - base, 2.5, 0.0, image);
        image.convertTo(out, CV_8U);
    }
}
BENCHMARK(OpenCV_BilateralDetail)->Apply(Sizes);

void PostprocessY8_Denoise(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    ZelIrArith arith;
    for (auto _ : state) arith.PostprocessY8(f.grey.data(), f.out.data(), f.w, f.h, true);
}
BENCHMARK(PostprocessY8_Denoise)->Apply(Sizes);

void OpenCV_MedianBlur3(benchmark::State& state) {
    Frames& f = FramesOf(int(state.range(0)));
    cv::Mat out = f.out8();
    for (auto _ : state) cv::medianBlur(f.grey8(), out, 3);
}
BENCHMARK(OpenCV_MedianBlur3)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
