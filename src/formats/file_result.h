// Outcome of reading or writing one of the raw image file kinds (movie, combined image, raw, BMP).
#pragma once

namespace zelir::files {

enum class [[nodiscard]] FileResult{
    kOk = 0,
    kCannotOpen,         // the file could not be opened or created
    kWriteFailed,        // a write did not complete; the partial file was removed
    kTruncated,          // the data ends before its layout does
    kNotBitmap,          // the file does not start with "BM"
    kNoIrSection,        // nothing follows the BMP part (a plain BMP)
    kBadHeaderSize,      // the IR section's header size field is not 68
    kNoParameterOffset,  // the IR section header names no parameter block
    kBadParameterSize,   // the stored parameter block size is outside 11..34864
    kLengthMismatch,     // the IR section's length field disagrees with the stored geometry
    kBadGeometry,        // width or height outside the limits of the file kind or the frame buffer
    kUnknownSize,        // a raw image file whose size is not in the size table
    kBufferTooSmall,     // the caller's destination cannot hold what the file holds
    kBadInput,           // what a writer was given does not agree with itself
};

// A short English description, e.g. "file is truncated".
const char* FileResultText(FileResult result);

}  // namespace zelir::files
