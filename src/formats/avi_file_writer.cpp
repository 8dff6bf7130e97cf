#include "formats/avi_file_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

namespace zelir {
namespace {

constexpr char kStreamName[] = "Infrared Video";
// Fixed quantiser of the MPEG-4 encoder: 2 is its finest, 31 its coarsest. At 3 a thermal
// palette image keeps its fine structure at a few Mbit/s for 640x512 at 30 frames/s.
constexpr int kQuantiser = 3;

constexpr AVRational FrameTime(const AviVideoFormat& format) {
    return {static_cast<int>(format.fpsDivisor), static_cast<int>(format.fps)};
}

constexpr AVRational FrameRate(const AviVideoFormat& format) {
    return {static_cast<int>(format.fps), static_cast<int>(format.fpsDivisor)};
}

// Uncompressed AVI rows are padded to 4 bytes, as in a DIB.
int StoredRowBytes(int width) {
    return (width * 3 + 3) & ~3;
}

}  // namespace

std::unique_ptr<AviFileWriter> AviFileWriter::Create(const std::string& path,
                                                     const AviVideoFormat& format,
                                                     const char* encoder) {
    std::unique_ptr<AviFileWriter> writer(new AviFileWriter);
    writer->format_ = format;
    if (avformat_alloc_output_context2(&writer->muxer_, nullptr, "avi", nullptr) < 0)
        return nullptr;
    // "file:" keeps FFmpeg from reading a path such as "http://..." as another protocol.
    if (avio_open(&writer->muxer_->pb, ("file:" + path).c_str(), AVIO_FLAG_WRITE) < 0) {
        return nullptr;
    }
    writer->stream_ = avformat_new_stream(writer->muxer_, nullptr);
    writer->packet_ = av_packet_alloc();
    if (writer->stream_ == nullptr || writer->packet_ == nullptr) return nullptr;
    writer->stream_->time_base = FrameTime(format);
    writer->stream_->avg_frame_rate = FrameRate(format);
    writer->stream_->r_frame_rate = writer->stream_->avg_frame_rate;
    av_dict_set(&writer->stream_->metadata, "title", kStreamName, 0);

    if (!writer->SetUpEncoder(encoder)) writer->SetUpUncompressed();
    if (writer->encoder_ == nullptr &&
        av_new_packet(writer->packet_, StoredRowBytes(format.width) * format.height) < 0) {
        return nullptr;
    }
    writer->frame_.resize(static_cast<size_t>(format.width) * format.height * 3);
    if (avformat_write_header(writer->muxer_, nullptr) < 0) return nullptr;
    writer->headerWritten_ = true;
    return writer;
}

bool AviFileWriter::SetUpEncoder(const char* name) {
    const AVCodec* codec = name != nullptr ? avcodec_find_encoder_by_name(name) : nullptr;
    if (codec == nullptr) return false;
    encoder_ = avcodec_alloc_context3(codec);
    if (encoder_ == nullptr) return false;
    encoder_->width = format_.width;
    encoder_->height = format_.height;
    encoder_->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder_->time_base = FrameTime(format_);
    encoder_->framerate = FrameRate(format_);
    // A key frame about once a second.
    encoder_->gop_size = static_cast<int>(std::max(1u, format_.fps / format_.fpsDivisor));
    // No B-frames: each pushed frame leaves the encoder at once, so live recording keeps no
    // backlog and the file ends on the last frame pushed.
    encoder_->max_b_frames = 0;
    encoder_->flags |= AV_CODEC_FLAG_QSCALE;
    encoder_->global_quality = FF_QP2LAMBDA * kQuantiser;
    // One thread: the recorder runs beside live acquisition and display.
    encoder_->thread_count = 1;
    encoder_->codec_tag = MKTAG('X', 'V', 'I', 'D');
    picture_ = av_frame_alloc();
    if (picture_ != nullptr) {
        picture_->format = encoder_->pix_fmt;
        picture_->width = format_.width;
        picture_->height = format_.height;
    }
    toYuv_ = sws_getContext(format_.width, format_.height, AV_PIX_FMT_BGR24, format_.width,
                            format_.height, AV_PIX_FMT_YUV420P, SWS_BILINEAR | SWS_ACCURATE_RND,
                            nullptr, nullptr, nullptr);
    if (picture_ == nullptr || toYuv_ == nullptr || av_frame_get_buffer(picture_, 0) < 0 ||
        avcodec_open2(encoder_, codec, nullptr) < 0 ||
        avcodec_parameters_from_context(stream_->codecpar, encoder_) < 0) {
        // Close only what was opened; the caller falls back to uncompressed frames.
        avcodec_free_context(&encoder_);
        av_frame_free(&picture_);
        sws_freeContext(toYuv_);
        toYuv_ = nullptr;
        return false;
    }
    return true;
}

void AviFileWriter::SetUpUncompressed() {
    AVCodecParameters* parameters = stream_->codecpar;
    parameters->codec_type = AVMEDIA_TYPE_VIDEO;
    parameters->codec_id = AV_CODEC_ID_RAWVIDEO;
    parameters->codec_tag = 0;
    parameters->format = AV_PIX_FMT_BGR24;
    parameters->bits_per_coded_sample = 24;
    parameters->width = format_.width;
    parameters->height = format_.height;
}

AviFileWriter::~AviFileWriter() {
    // Whoever needed to know how the file ended has called Finish already.
    (void)Finish();
    Release();
}

files::FileResult AviFileWriter::WriteFrame(uint32_t index, std::span<const uint8_t> bgr,
                                            bool bottomUp) {
    if (finished_ || bgr.size() < frame_.size()) return files::FileResult::kBadInput;
    const bool written =
        compressed() ? EncodeFrame(index, bgr, bottomUp) : StoreFrame(index, bgr, bottomUp);
    return written ? files::FileResult::kOk : files::FileResult::kWriteFailed;
}

bool AviFileWriter::EncodeFrame(uint32_t index, std::span<const uint8_t> bgr, bool bottomUp) {
    const int rowBytes = format_.width * 3;
    // A bottom-up frame is read from its last row upwards.
    const uint8_t* top =
        bgr.data() + (bottomUp ? static_cast<size_t>(format_.height - 1) * rowBytes : 0);
    const int stride = bottomUp ? -rowBytes : rowBytes;
    if (av_frame_make_writable(picture_) < 0) return false;
    sws_scale(toYuv_, &top, &stride, 0, format_.height, picture_->data, picture_->linesize);
    picture_->pts = index;
    if (avcodec_send_frame(encoder_, picture_) < 0) return false;
    return WritePackets();
}

bool AviFileWriter::StoreFrame(uint32_t index, std::span<const uint8_t> bgr, bool bottomUp) {
    // Stored top row first: FFmpeg marks uncompressed frames top-down (negative biHeight).
    const size_t rowBytes = static_cast<size_t>(format_.width) * 3;
    const size_t storedRow = static_cast<size_t>(StoredRowBytes(format_.width));
    for (int row = 0; row < format_.height; ++row) {
        const size_t source = static_cast<size_t>(bottomUp ? format_.height - 1 - row : row);
        std::copy_n(bgr.subspan(source * rowBytes, rowBytes).begin(), rowBytes,
                    packet_->data + row * storedRow);
    }
    packet_->pts = packet_->dts = av_rescale_q(index, FrameTime(format_), stream_->time_base);
    packet_->duration = av_rescale_q(1, FrameTime(format_), stream_->time_base);
    packet_->flags = AV_PKT_FLAG_KEY;
    packet_->stream_index = stream_->index;
    // av_write_frame leaves the packet to us, so its buffer serves every frame.
    return av_write_frame(muxer_, packet_) >= 0;
}

bool AviFileWriter::WritePackets() {
    bool written = true;
    int status;
    while ((status = avcodec_receive_packet(encoder_, packet_)) >= 0) {
        av_packet_rescale_ts(packet_, encoder_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        written = av_write_frame(muxer_, packet_) >= 0 && written;
        av_packet_unref(packet_);
    }
    return written && (status == AVERROR(EAGAIN) || status == AVERROR_EOF);
}

files::FileResult AviFileWriter::Finish() {
    if (finished_) return files::FileResult::kOk;
    finished_ = true;
    bool ok = true;
    if (headerWritten_) {
        if (encoder_ != nullptr) ok = avcodec_send_frame(encoder_, nullptr) >= 0 && WritePackets();
        ok = av_write_trailer(muxer_) >= 0 && ok;
    }
    if (muxer_ != nullptr && muxer_->pb != nullptr) ok = avio_closep(&muxer_->pb) >= 0 && ok;
    return ok ? files::FileResult::kOk : files::FileResult::kWriteFailed;
}

void AviFileWriter::Release() {
    avcodec_free_context(&encoder_);
    av_frame_free(&picture_);
    av_packet_free(&packet_);
    sws_freeContext(toYuv_);
    toYuv_ = nullptr;
    avformat_free_context(muxer_);
    muxer_ = nullptr;
}

}  // namespace zelir
