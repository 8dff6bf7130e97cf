// The raw movie file (".irm"): its 64-byte header, how a reader sizes it up, where frame i lies.
#pragma once

#include <zelir/zelir.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <span>
#include <string_view>

#include "formats/file_io.h"
#include "formats/file_result.h"
#include "formats/frame_limits.h"
#include "formats/parameter_line.h"

namespace zelir::files {

struct ZELIR_PACKED MovieHeader {
    char sourceTag[10];  // "IRGIGE" recorded from a camera, "IRGBIT" from a file; NUL-padded
    char startTime[20];  // local time, "%4d %02d %02d %02d:%02d:%02d"
    char stopTime[20];   // same format; zero until the recording stops
    uint8_t reserved50[2];
    uint32_t frameCount;  // 0 until stop
    uint32_t durationMs;  // 0 until stop
    uint16_t width;       // 0 until stop
    uint16_t height;      // 0 until stop
};
static_assert(sizeof(MovieHeader) == 64);
static_assert(offsetof(MovieHeader, startTime) == 10);
static_assert(offsetof(MovieHeader, stopTime) == 30);
static_assert(offsetof(MovieHeader, frameCount) == 52);
static_assert(offsetof(MovieHeader, durationMs) == 56);
static_assert(offsetof(MovieHeader, width) == 60);
static_assert(offsetof(MovieHeader, height) == 62);

inline constexpr uint64_t kMovieHeaderBytes = sizeof(MovieHeader);
// Geometry of a movie whose recording was never stopped.
inline constexpr uint16_t kUnfinishedMovieWidth = 640;
inline constexpr uint16_t kUnfinishedMovieHeight = 512;
inline constexpr uint16_t kMovieMaxWidth = 2000;
inline constexpr uint16_t kMovieMaxHeight = 1024;
// A header frame count within this many frames of the count the file length gives is trusted.
inline constexpr int64_t kMovieFrameCountTolerance = 10;

// Writes `time` as "%4d %02d %02d %02d:%02d:%02d" (19 characters and a NUL).
void FormatMovieTime(const std::tm& time, char (&out)[20]);

// The header written when recording starts: source tag (at most 9 characters kept) and start time.
MovieHeader MakeMovieStartHeader(std::string_view sourceTag, const std::tm& start);

// Completes the header when recording stops.
void FinishMovieHeader(MovieHeader& header, const std::tm& stop, uint32_t frameCount,
                       uint32_t durationMs, uint16_t width, uint16_t height);

// What a reader takes a movie file to hold.
struct MovieLayout {
    MovieHeader header;    // as read, with width, height and frame count as taken
    uint32_t frameBytes;   // width x height x 2
    uint64_t wholeFrames;  // complete frames behind the header, from the file length
    std::array<uint8_t, kParameterLineBytes> firstLine;  // first 100 bytes of frame 0
    bool firstLineValid;  // firstLine is a valid parameter line for this geometry
    bool unfinished;      // the header has no geometry: the recording was never stopped
};

// Reads the header and sizes the movie up: a zero width or height means an unfinished recording
// of 640 x 512; the header's frame count is kept unless it is more than 10 frames away from the
// count of complete frames in the file. Refuses files shorter than the header (kTruncated) and
// geometries above 2000 x 1024 or whose frame does not fit the frame buffer (kBadGeometry).
FileResult ReadMovieLayout(const ByteSource& file, MovieLayout& layout);

// File offset of frame `index`.
inline uint64_t MovieFrameOffset(uint64_t index, uint32_t frameBytes) {
    return kMovieHeaderBytes + index * frameBytes;
}

// Reads frame `index` into the first frameBytes bytes of `frame`. kBufferTooSmall when it does
// not fit, kTruncated when the file ends first (the caller keeps its previous frame then).
FileResult ReadMovieFrame(const ByteSource& file, const MovieLayout& layout, uint64_t index,
                          std::span<uint8_t> frame);

}  // namespace zelir::files
