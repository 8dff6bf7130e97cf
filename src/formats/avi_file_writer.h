// An AVI file with one video stream, written through FFmpeg: MPEG-4 Part 2 frames under the
// "XVID" fourcc, or uncompressed 24-bit frames when that encoder is not available.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

#include "formats/file_result.h"

namespace zelir {

// FFmpeg's encoder that stands in for the "XVID" compressor.
inline constexpr const char* kXvidEncoder = "mpeg4";

struct AviVideoFormat {
    int width = 0;
    int height = 0;           // rows, always positive
    unsigned fps = 0;         // frames per fpsDivisor seconds
    unsigned fpsDivisor = 1;  // 1 for whole rates; 1000 for 29.97 as 29970 / 1000
    int sourceBits = 24;      // bits per pixel of the frames pushed; the file holds 24-bit frames
};

class AviFileWriter {
  public:
    // Creates the file and writes its header. `encoder` names the FFmpeg encoder to compress
    // with; when there is none by that name, or it will not open for this format, the frames
    // are stored uncompressed. Null when the file or its stream cannot be set up.
    static std::unique_ptr<AviFileWriter> Create(const std::string& path,
                                                 const AviVideoFormat& format, const char* encoder);
    // Finishes the file when Finish was not called.
    ~AviFileWriter();
    AviFileWriter(const AviFileWriter&) = delete;
    AviFileWriter& operator=(const AviFileWriter&) = delete;

    bool compressed() const { return encoder_ != nullptr; }
    const AviVideoFormat& format() const { return format_; }
    // A buffer of one 24-bit frame (width x height x 3 bytes) for callers that build frames.
    std::span<uint8_t> frameBuffer() { return frame_; }

    // Writes frame number `index` from 24-bit BGR rows of width x 3 bytes; `bottomUp` when
    // the first row is the bottom row of the picture. kBadInput for a short frame or a finished
    // file, kWriteFailed when the encoder or the file refused it.
    files::FileResult WriteFrame(uint32_t index, std::span<const uint8_t> bgr, bool bottomUp);
    // Drains the encoder, writes the index and closes the file; kWriteFailed when any of it
    // failed. A second call gives kOk.
    files::FileResult Finish();

  private:
    AviFileWriter() = default;
    bool SetUpEncoder(const char* name);
    void SetUpUncompressed();
    bool EncodeFrame(uint32_t index, std::span<const uint8_t> bgr, bool bottomUp);
    bool StoreFrame(uint32_t index, std::span<const uint8_t> bgr, bool bottomUp);
    bool WritePackets();
    void Release();

    AviVideoFormat format_;
    AVFormatContext* muxer_ = nullptr;
    AVStream* stream_ = nullptr;  // owned by the muxer
    AVCodecContext* encoder_ = nullptr;
    SwsContext* toYuv_ = nullptr;
    AVFrame* picture_ = nullptr;
    AVPacket* packet_ = nullptr;
    bool headerWritten_ = false;
    bool finished_ = false;
    std::vector<uint8_t> frame_;
};

}  // namespace zelir
