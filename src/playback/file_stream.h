// A recorded file played back as if it were a camera: a raw movie steps through its frames;
// a combined image or a raw image delivers its one image again on every request.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>

#include "formats/file_io.h"
#include "formats/movie_header.h"
#include "stream/stream_base.h"

class CFileStream : public CStreamBase {
  public:
    // Paths of 256 characters or more do not fit the path field and are refused at open.
    static constexpr size_t kMaxPathLength = 255;

    explicit CFileStream(const wchar_t* path);
    ~CFileStream() override;

    FrameRecord* GetFrame(uint32_t direct) override;
    void SetPause(uint32_t paused) override;
    int32_t Open() override;
    void Close() override;
    const char* GetSourceTag() override;
    uint16_t GetWidth() override { return width_; }
    uint16_t GetHeight() override { return height_; }
    uint16_t GetDataOffset() override { return dataOffset_; }

    // Movie stepping; each acts only on a movie and moves the position only: the handle
    // fetches the frame there.
    // False when the stream is no movie or cannot move that way.
    bool Forward(uint32_t frames);
    bool Backward(uint32_t frames);
    // Refused (0) for positions outside 1 .. total frames - 1.
    int32_t Goto(int32_t position);
    // The step of a new-frame request: one frame on; past the last frame, frame 0 again when
    // loop play is on, otherwise the last frame once more.
    void StepForNewFrame();
    uint32_t Position() const { return position_; }
    uint32_t TotalFrames() const { return totalFrames_; }
    // Complete frames behind the header; below the total when the header counts more.
    uint32_t WholeFrames() const {
        return static_cast<uint32_t>(std::min<uint64_t>(layout_.wholeFrames, UINT32_MAX));
    }

    // Why the last Open refused the file (kOk after a successful one).
    zelir::files::FileResult OpenResult() const { return openResult_; }

    // What a movie file holds, beside what playback shows; false for other files.
    bool MovieFacts(ZelIrMovieFacts& facts) const;
    // The parameter-line fields come from the file (a movie's first frame, a combined image).
    bool LineFromFile() const;

    // Stream type code of a path by its extension.
    static uint32_t StreamTypeOfPath(const std::wstring& path);

  private:
    zelir::files::FileResult LoadSingleImage();
    zelir::files::FileResult LoadRawImage();
    zelir::files::FileResult LoadCombinedImage();
    zelir::files::FileResult OpenMovie();
    void PrepareImagePipeline(bool singleImage);
    void DeliverCachedImage();
    void AdoptCachedParameterLine();
    uint32_t ImageBytes() const { return uint32_t{width_} * height_ * 2; }

    std::wstring path_;
    std::unique_ptr<zelir::files::FileSource> file_;
    zelir::files::MovieLayout layout_{};
    zelir::files::MovieHeader fileHeader_{};
    uint32_t position_ = 0;
    uint32_t totalFrames_ = 0;
    std::unique_ptr<uint8_t[]> imageCache_;
    zelir::files::FileResult openResult_ = zelir::files::FileResult::kCannotOpen;
};
