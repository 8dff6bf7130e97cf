// Frames per second of CAviCode at 640x512 8-bit, compressed and uncompressed, against the
// MPEG-4 encoder alone on the same frames already in YUV (the floor any recorder pays), and
// the palette expansion against a plain copy of the same output size.
#include <benchmark/benchmark.h>
#include <zelir/avi_code.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/avi_code_access.h"
#include "formats/avi_file_writer.h"
#include "formats/avi_palette_expand.h"
#include "formats/avi_test_scene.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 512;
constexpr int kFps = 30;
constexpr int kScenes = 16;

const std::vector<std::vector<uint8_t>>& Scenes() {
    static const auto scenes = [] {
        std::vector<std::vector<uint8_t>> frames;
        for (int k = 0; k < kScenes; ++k)
            frames.push_back(zelir_test::SceneFrame(kWidth, kHeight, k));
        return frames;
    }();
    return scenes;
}

std::wstring ScratchPath(const char* name) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    return {path.begin(), path.end()};
}

void BM_CAviCodeRecord(benchmark::State& state, const char* encoder) {
    zelir_test::PaletteFormat format = zelir_test::MakeFormat(kWidth, kHeight);
    zelir_test::UseIronPalette(format);
    const std::wstring path = ScratchPath("zelir-bench.avi");
    CAviCode avi;
    if (zelir::AviCodeAccess::CreateAviFile(avi, path.c_str(), kFps, format.info(), encoder) != 1) {
        state.SkipWithError("cannot create the AVI file");
        return;
    }
    size_t k = 0;
    for (auto _ : state) {
        const std::vector<uint8_t>& frame = Scenes()[k++ % kScenes];
        if (avi.PushFrame(frame.data(), static_cast<int>(frame.size()), format.info()) != 1) {
            state.SkipWithError("push failed");
            break;
        }
    }
    avi.CloseAviFile();
    std::filesystem::remove(std::filesystem::path(std::string(path.begin(), path.end())));
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_CAviCodeRecord, mpeg4, zelir::kXvidEncoder)
    ->Iterations(600)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CAviCodeRecord, uncompressed, nullptr)
    ->Iterations(300)
    ->Unit(benchmark::kMillisecond);

// Baseline: the same encoder with the same settings, fed YUV frames converted beforehand, no
// expansion, no colour conversion, no file.
void BM_Mpeg4EncoderAlone(benchmark::State& state) {
    const AVCodec* codec = avcodec_find_encoder_by_name(zelir::kXvidEncoder);
    AVCodecContext* encoder = codec != nullptr ? avcodec_alloc_context3(codec) : nullptr;
    if (encoder == nullptr) {
        state.SkipWithError("no MPEG-4 encoder");
        return;
    }
    encoder->width = kWidth;
    encoder->height = kHeight;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = {1, kFps};
    encoder->gop_size = kFps;
    encoder->max_b_frames = 0;
    encoder->flags |= AV_CODEC_FLAG_QSCALE;
    encoder->global_quality = FF_QP2LAMBDA * 3;
    encoder->thread_count = 1;
    avcodec_open2(encoder, codec, nullptr);

    zelir_test::PaletteFormat format = zelir_test::MakeFormat(kWidth, kHeight);
    zelir_test::UseIronPalette(format);
    SwsContext* toYuv =
        sws_getContext(kWidth, kHeight, AV_PIX_FMT_BGR24, kWidth, kHeight, AV_PIX_FMT_YUV420P,
                       SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    std::vector<AVFrame*> pictures;
    for (const auto& scene : Scenes()) {
        const std::vector<uint8_t> bgr = zelir_test::ExpectedPicture(scene, format);
        AVFrame* picture = av_frame_alloc();
        picture->format = AV_PIX_FMT_YUV420P;
        picture->width = kWidth;
        picture->height = kHeight;
        av_frame_get_buffer(picture, 0);
        const uint8_t* source = bgr.data();
        const int stride = kWidth * 3;
        sws_scale(toYuv, &source, &stride, 0, kHeight, picture->data, picture->linesize);
        pictures.push_back(picture);
    }
    AVPacket* packet = av_packet_alloc();
    int64_t pts = 0;
    for (auto _ : state) {
        AVFrame* picture = pictures[static_cast<size_t>(pts) % pictures.size()];
        picture->pts = pts++;
        avcodec_send_frame(encoder, picture);
        while (avcodec_receive_packet(encoder, packet) >= 0) av_packet_unref(packet);
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    av_packet_free(&packet);
    for (AVFrame* picture : pictures) av_frame_free(&picture);
    sws_freeContext(toYuv);
    avcodec_free_context(&encoder);
}
BENCHMARK(BM_Mpeg4EncoderAlone)->Iterations(600)->Unit(benchmark::kMillisecond);

void BM_ExpandThroughPalette(benchmark::State& state) {
    zelir_test::PaletteFormat format = zelir_test::MakeFormat(kWidth, kHeight);
    zelir_test::UseIronPalette(format);
    const zelir::AviPalette palette = zelir::PaletteOf(*format.info());
    std::vector<uint8_t> bgr(static_cast<size_t>(kWidth) * kHeight * 3);
    for (auto _ : state) {
        zelir::ExpandThroughPalette(Scenes()[0], palette, bgr);
        benchmark::DoNotOptimize(bgr.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(bgr.size()));
}
BENCHMARK(BM_ExpandThroughPalette)->Unit(benchmark::kMicrosecond);

// Baseline of the expansion: copying a buffer of its output size.
void BM_CopyOfExpandedSize(benchmark::State& state) {
    const std::vector<uint8_t> source(static_cast<size_t>(kWidth) * kHeight * 3, 1);
    std::vector<uint8_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(target.size()));
}
BENCHMARK(BM_CopyOfExpandedSize)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
