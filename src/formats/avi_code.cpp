// CAviCode: the exported AVI recorder.
#include <zelir/avi_code.h>

#include <climits>
#include <cstdlib>
#include <utility>

#include "base/debug_output.h"
#include "base/string_conversion.h"
#include "formats/avi_code_access.h"
#include "formats/avi_file_writer.h"
#include "formats/avi_palette_expand.h"
#include "formats/avi_pixel_convert.h"

namespace {

// Width and rows of a format the recorder accepts; nothing for any other. A frame, even
// expanded and with its rows padded, must stay addressable by an int (PushFrame's size,
// FFmpeg's packet size).
bool AcceptedFormat(const BITMAPINFOHEADER& header, zelir::AviVideoFormat& video) {
    const int bits = header.biBitCount;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN) return false;
    const long long rows = std::llabs(header.biHeight);
    if (header.biWidth * rows > INT_MAX / 4) return false;
    video.width = header.biWidth;
    video.height = static_cast<int>(rows);
    video.sourceBits = bits;
    return true;
}

}  // namespace

namespace zelir {

int AviCodeAccess::CreateAviFile(CAviCode& code, const wchar_t* path, unsigned int fps,
                                 const BITMAPINFO* format, const char* encoder,
                                 unsigned int fpsDivisor) {
    if (format == nullptr || path == nullptr) return 0;
    // A second create finishes the file being written rather than abandoning it half-written.
    code.CloseAviFile();
    AviVideoFormat video{.width = 0, .height = 0, .fps = fps, .fpsDivisor = fpsDivisor};
    // FFmpeg keeps frame rates as int fractions.
    if (fps == 0 || fps > INT_MAX || fpsDivisor == 0 || fpsDivisor > INT_MAX ||
        !AcceptedFormat(format->bmiHeader, video)) {
        return 0;
    }
    std::unique_ptr<AviFileWriter> file = AviFileWriter::Create(WideToUtf8(path), video, encoder);
    if (file == nullptr) return 0;
    code.expand8Bit_ = format->bmiHeader.biBitCount == 8;
    code.compressorFound_ = file->compressed();
    code.file_ = file.release();
    code.frameCounter_ = 0;
    code.recording_ = 1;
    return 1;
}

}  // namespace zelir

CAviCode::CAviCode()
    : frameCounter_(0), recording_(0), file_(nullptr), expand8Bit_(0), compressorFound_(0) {}

CAviCode::CAviCode(CAviCode&& other) noexcept
    : frameCounter_(std::exchange(other.frameCounter_, 0)),
      recording_(std::exchange(other.recording_, 0)),
      file_(std::exchange(other.file_, nullptr)),
      expand8Bit_(std::exchange(other.expand8Bit_, 0)),
      compressorFound_(std::exchange(other.compressorFound_, 0)) {}

CAviCode& CAviCode::operator=(CAviCode&& other) noexcept {
    if (this != &other) {
        CloseAviFile();
        frameCounter_ = std::exchange(other.frameCounter_, 0);
        recording_ = std::exchange(other.recording_, 0);
        file_ = std::exchange(other.file_, nullptr);
        expand8Bit_ = std::exchange(other.expand8Bit_, 0);
        compressorFound_ = std::exchange(other.compressorFound_, 0);
    }
    return *this;
}

CAviCode::~CAviCode() {
    CloseAviFile();
}

int CAviCode::CreateAviFile(const wchar_t* path, unsigned int fps, const BITMAPINFO* format) {
    return zelir::AviCodeAccess::CreateAviFile(*this, path, fps, format, zelir::kXvidEncoder);
}

int CAviCode::CreateAviFileAtRate(const wchar_t* path, unsigned int frames, unsigned int seconds,
                                  const BITMAPINFO* format) {
    return zelir::AviCodeAccess::CreateAviFile(*this, path, frames, format, zelir::kXvidEncoder,
                                               seconds);
}

int CAviCode::PushFrame(const unsigned char* data, int size, const BITMAPINFO* format) {
    if (!recording_ || data == nullptr || format == nullptr || size < 0) return 0;
    const BITMAPINFOHEADER& header = format->bmiHeader;
    const zelir::AviVideoFormat& video = file_->format();
    // The frame must be the one the file was made for: a larger one would overrun the
    // expansion buffer, a different one could not be encoded.
    zelir::AviVideoFormat pushed;
    if (!AcceptedFormat(header, pushed) || pushed.width != video.width ||
        pushed.height != video.height || pushed.sourceBits != video.sourceBits) {
        return 0;
    }
    const size_t pixels = static_cast<size_t>(video.width) * video.height;
    const size_t needed = pixels * static_cast<size_t>(video.sourceBits / 8);
    if (static_cast<size_t>(size) < needed) return 0;

    // The file takes 24-bit frames: other depths are converted into the writer's buffer.
    const std::span<const uint8_t> frame(data, needed);
    std::span<const uint8_t> bgr = frame;
    if (video.sourceBits != 24) {
        const std::span<uint8_t> converted = file_->frameBuffer();
        if (video.sourceBits == 8) {
            zelir::ExpandThroughPalette(frame, zelir::PaletteOf(*format), converted);
        } else if (video.sourceBits == 16) {
            zelir::Rgb555ToBgr(frame, converted);
        } else {
            zelir::BgraToBgr(frame, converted);
        }
        bgr = converted;
    }
    const zelir::files::FileResult written =
        file_->WriteFrame(frameCounter_, bgr, header.biHeight > 0);
    ++frameCounter_;
    return written == zelir::files::FileResult::kOk ? 1 : 0;
}

void CAviCode::CloseAviFile() {
    frameCounter_ = 0;
    recording_ = 0;
    if (file_ != nullptr && file_->Finish() != zelir::files::FileResult::kOk) {
        odprintf("AVI file could not be finished: it may not play to its end\n");
    }
    delete file_;
    file_ = nullptr;
}

unsigned int CAviCode::GetFrameCounter() const {
    return frameCounter_;
}

int CAviCode::IsRecording() const {
    return recording_;
}
