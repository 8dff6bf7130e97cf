#include "formats/movie_header.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zelir::files {

void FormatMovieTime(const std::tm& time, char (&out)[20]) {
    // Room for any int fields; a year past 9999 is cut to keep the terminating NUL.
    char text[96];
    std::snprintf(text, sizeof(text), "%4d %02d %02d %02d:%02d:%02d", time.tm_year + 1900,
                  time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec);
    std::memset(out, 0, sizeof(out));
    std::memcpy(out, text, std::min(std::strlen(text), sizeof(out) - 1));
}

MovieHeader MakeMovieStartHeader(std::string_view sourceTag, const std::tm& start) {
    MovieHeader header{};
    // The tag stays NUL-terminated inside its 10 bytes.
    const size_t length = std::min(sourceTag.size(), sizeof(header.sourceTag) - 1);
    std::memcpy(header.sourceTag, sourceTag.data(), length);
    FormatMovieTime(start, header.startTime);
    return header;
}

void FinishMovieHeader(MovieHeader& header, const std::tm& stop, uint32_t frameCount,
                       uint32_t durationMs, uint16_t width, uint16_t height) {
    FormatMovieTime(stop, header.stopTime);
    header.frameCount = frameCount;
    header.durationMs = durationMs;
    header.width = width;
    header.height = height;
}

FileResult ReadMovieLayout(const ByteSource& file, MovieLayout& layout) {
    MovieHeader header{};
    if (!file.ReadStruct(0, header)) return FileResult::kTruncated;
    const bool unfinished = header.width == 0 || header.height == 0;
    if (unfinished) {
        header.width = kUnfinishedMovieWidth;
        header.height = kUnfinishedMovieHeight;
    }
    if (header.width > kMovieMaxWidth || header.height > kMovieMaxHeight) {
        return FileResult::kBadGeometry;
    }
    // The width and height limits admit frames of up to 4 MB; the frame buffer holds less.
    const uint32_t frameBytes = uint32_t{header.width} * header.height * 2;
    if (frameBytes > kFrameBufferBytes) return FileResult::kBadGeometry;

    const uint64_t wholeFrames = (file.Size() - kMovieHeaderBytes) / frameBytes;
    const int64_t difference = int64_t{header.frameCount} - static_cast<int64_t>(wholeFrames);
    if (difference > kMovieFrameCountTolerance || difference < -kMovieFrameCountTolerance) {
        // The count field is 32 bits wide; only a huge file of tiny frames could exceed it.
        header.frameCount = static_cast<uint32_t>(std::min<uint64_t>(wholeFrames, UINT32_MAX));
    }

    layout.header = header;
    layout.frameBytes = frameBytes;
    layout.wholeFrames = wholeFrames;
    layout.unfinished = unfinished;
    layout.firstLine.fill(0);
    layout.firstLineValid = file.ReadExact(kMovieHeaderBytes, layout.firstLine) &&
                            IsValidParameterLine(layout.firstLine, header.width, header.height);
    return FileResult::kOk;
}

FileResult ReadMovieFrame(const ByteSource& file, const MovieLayout& layout, uint64_t index,
                          std::span<uint8_t> frame) {
    if (frame.size() < layout.frameBytes) return FileResult::kBufferTooSmall;
    // Checked before reading, so a missing frame leaves the caller's previous frame whole.
    if (index >= layout.wholeFrames) return FileResult::kTruncated;
    const uint64_t offset = MovieFrameOffset(index, layout.frameBytes);
    if (!file.ReadExact(offset, frame.first(layout.frameBytes))) return FileResult::kTruncated;
    return FileResult::kOk;
}

}  // namespace zelir::files
