// Raw movie recording from any source: a 64-byte header, then the frames as they are fetched.
// The header is finished (stop time, frame count, duration, geometry) when recording stops.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <span>

#include "base/status.h"
#include "base/unique_file.h"
#include "formats/movie_header.h"
#include "stream/frame_sink.h"

namespace zelir {

class MovieRecorder : public FrameSink {
  public:
    ~MovieRecorder() override;

    // Starting while recording finishes the running movie first. kCannotOpen when the file
    // cannot be created, kIoError when its header cannot be written. The geometry goes into the
    // header when recording stops.
    Status Start(const std::filesystem::path& path, const char* sourceTag, uint16_t width,
                 uint16_t height);
    // Finishes the header and closes the file; nothing when not recording.
    void Stop();
    bool IsRecording() const;
    uint32_t WriteFrame(const void* header, uint32_t headerLength, const void* data,
                        uint32_t dataLength) override;
    // One whole frame of the recording's geometry: kBadInput for any other size, kWriteFailed
    // when the bytes did not all reach the file.
    files::FileResult AppendFrame(std::span<const uint8_t> frame);
    // Stops and says whether every write since Start reached the file.
    files::FileResult Finish();

  private:
    void StopLocked();

    // Frames may be written from the receive thread while the application stops.
    mutable std::mutex mutex_;
    UniqueFile file_;
    files::MovieHeader header_{};
    uint32_t startTime_ = 0;
    uint32_t frames_ = 0;
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    bool writeFailed_ = false;
};

}  // namespace zelir
