/* ZelIr SDK: CAviCode, the AVI recorder of libzelir.so (C++).
 *
 * Writes the 8-bit palette images an application displays (or 16-, 24- and 32-bit images) into
 * an AVI file:
 * create the file with a frame rate and the frame format, push one frame after another, close.
 * Frames are compressed as MPEG-4 Part 2 under the "XVID" fourcc, with a key frame every
 * `fps` frames; where that encoder is missing the file holds uncompressed 24-bit frames.
 *
 * Frame layout: a frame is biWidth x |biHeight| pixels, rows without padding. 8-bit frames
 * hold one palette index per pixel and are expanded through the palette that follows the
 * BITMAPINFOHEADER (biClrUsed entries, 256 when 0; indices past the palette are black). 24-bit
 * frames hold blue, green, red per pixel; 32-bit frames blue, green, red and a fourth byte that
 * is ignored; 16-bit frames a little-endian word of 5 bits each of red, green and blue from bit
 * 14 down (bit 15 unused). Every depth is recorded as 24-bit colour. As in a DIB, a positive
 * biHeight means the first row in memory is the bottom row of the picture, a negative one that it
 * is the top row.
 *
 * Members kept from the Windows class: the default constructor, the virtual destructor,
 * CreateAviFile, PushFrame, CloseAviFile, GetFrameCounter and IsRecording. Its copy constructor
 * and copy assignment (which made two owners of one file) are replaced by move operations.
 *
 * Not thread-safe: one object is used from one thread at a time. */
#ifndef ZELIR_AVI_CODE_H
#define ZELIR_AVI_CODE_H

#include <zelir/zelir.h>

#include <vector>

namespace zelir {
class AviFileWriter;
struct AviCodeAccess;
}  // namespace zelir

class ZELIR_EXPORT CAviCode {
  public:
    CAviCode();
    /* An open file has one owner: copying is not allowed. Moving hands the open file (with its
     * frame counter) to the new object and leaves the source idle. */
    CAviCode(const CAviCode&) = delete;
    CAviCode& operator=(const CAviCode&) = delete;
    CAviCode(CAviCode&& other) noexcept;
    /* Finishes this object's own file first, then takes over the other's. */
    CAviCode& operator=(CAviCode&& other) noexcept;
    /* Finishes the file when recording. */
    virtual ~CAviCode();

    /* Creates (or replaces) the AVI file at `path` for frames of `format` at `fps` frames per
     * second; a file still being recorded is finished first. 1 on success, 0 on failure: null
     * path or format, fps 0 or above INT_MAX, a width or height of 0, a bit count other than 8,
     * 16, 24 or 32, a frame of 2^29 pixels or more, or a file that cannot be written. */
    int CreateAviFile(const wchar_t* path, unsigned int fps, const BITMAPINFO* format);
    /* Extension: the same at a rate of `frames` per `seconds` seconds (29.97 frames/s as 2997
     * per 100), for rates that are not whole numbers. */
    int CreateAviFileAtRate(const wchar_t* path, unsigned int frames, unsigned int seconds,
                            const BITMAPINFO* format);
    /* Appends one frame of `size` bytes. `format` must have the width, height and bit count
     * given at create (it supplies the palette of an 8-bit frame), and `size` must cover the
     * frame (biWidth x |biHeight| x bytes per pixel); otherwise the frame is refused. 1 when
     * the frame was written; 0 when idle, refused or when writing failed (after a write
     * failure the frame counter has advanced all the same). */
    int PushFrame(const unsigned char* data, int size, const BITMAPINFO* format);
    /* Finishes the file; the frame counter returns to 0. Nothing happens when idle. */
    void CloseAviFile();
    /* Frames pushed since create: also the index of the next frame. */
    unsigned int GetFrameCounter() const;
    /* 1 between a successful create and close. */
    int IsRecording() const;

  private:
    friend struct zelir::AviCodeAccess;

    unsigned int frameCounter_;
    int recording_;
    zelir::AviFileWriter* file_; /* the open file: muxer, stream and encoder */
    int expand8Bit_;             /* 8-bit frames, expanded to 24 bits through the palette */
    int compressorFound_;        /* frames are compressed (MPEG-4 Part 2, "XVID") */
};

namespace zelir {

/* An 8-bit frame format with its whole palette behind the header, ready to pass as the
 * BITMAPINFO of CreateAviFile and PushFrame. */
struct AviPaletteFormat {
    BITMAPINFOHEADER header;
    RGBQUAD palette[256];

    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
};
ZELIR_STATIC_ASSERT(sizeof(AviPaletteFormat) == 40 + 256 * 4, "AviPaletteFormat layout");

/* Format of width x height 8-bit frames (height > 0: bottom row first, as the library's display
 * images are) with the 256 entries of `palette` (blue, green, red, 0 each). */
inline AviPaletteFormat MakeAviPaletteFormat(int width, int height, const RGBQUAD* palette) {
    AviPaletteFormat format{};
    format.header.biSize = sizeof(BITMAPINFOHEADER);
    format.header.biWidth = width;
    format.header.biHeight = height;
    format.header.biPlanes = 1;
    format.header.biBitCount = 8;
    format.header.biSizeImage =
        static_cast<uint32_t>(width) * static_cast<uint32_t>(height < 0 ? -height : height);
    format.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) format.palette[i] = palette[i];
    return format;
}

/* Records a whole sequence into a new AVI file at `frames` per `seconds` seconds:
 * `nextFrame(pixels)` fills the next frame (biSizeImage bytes) and returns false when there are
 * no more. Returns the number of frames written, or -1 when the file cannot be created or a
 * frame cannot be written. */
template <class NextFrame>
long RecordAvi(const wchar_t* path, unsigned int frames, unsigned int seconds,
               const AviPaletteFormat& format, NextFrame&& nextFrame) {
    CAviCode avi;
    if (!avi.CreateAviFileAtRate(path, frames, seconds, format.info())) return -1;
    const int size = static_cast<int>(format.header.biSizeImage);
    std::vector<unsigned char> pixels(format.header.biSizeImage);
    long written = 0;
    while (nextFrame(pixels.data())) {
        if (!avi.PushFrame(pixels.data(), size, format.info())) {
            written = -1;
            break;
        }
        ++written;
    }
    avi.CloseAviFile();
    return written;
}

/* The same at a whole number of frames per second. */
template <class NextFrame>
long RecordAvi(const wchar_t* path, unsigned int fps, const AviPaletteFormat& format,
               NextFrame&& nextFrame) {
    return RecordAvi(path, fps, 1, format, static_cast<NextFrame&&>(nextFrame));
}

}  // namespace zelir

#endif /* ZELIR_AVI_CODE_H */
