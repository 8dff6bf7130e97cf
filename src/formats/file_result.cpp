#include "formats/file_result.h"

namespace zelir::files {

const char* FileResultText(FileResult result) {
    switch (result) {
        case FileResult::kOk:
            return "ok";
        case FileResult::kCannotOpen:
            return "file cannot be opened";
        case FileResult::kWriteFailed:
            return "write failed";
        case FileResult::kTruncated:
            return "file is truncated";
        case FileResult::kNotBitmap:
            return "not a BMP file";
        case FileResult::kNoIrSection:
            return "no IR section after the BMP part";
        case FileResult::kBadHeaderSize:
            return "IR section header size is not 68";
        case FileResult::kNoParameterOffset:
            return "IR section names no parameter block";
        case FileResult::kBadParameterSize:
            return "stored parameter block size out of range";
        case FileResult::kLengthMismatch:
            return "IR section length disagrees with the geometry";
        case FileResult::kBadGeometry:
            return "image size out of range";
        case FileResult::kUnknownSize:
            return "file size matches no raw image geometry";
        case FileResult::kBufferTooSmall:
            return "destination buffer too small";
        case FileResult::kBadInput:
            return "inconsistent data to write";
    }
    return "unknown result";
}

}  // namespace zelir::files
