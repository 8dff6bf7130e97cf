// Reading one 16-bit frame from a raw image file, for calibration from files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/status.h"

namespace zelir::arith {

// Accepts a file that starts with a valid 100-byte parameter line (marker 1, size 5..100, the
// expected width and height) followed by the pixels, or a bare pixel dump whose size is one of
// the known raw image sizes (two leading parameter rows skipped where that size has them).
// The frame must be w x h. kCannotOpen, kBadData or kIoError with a debug message otherwise.
Status ReadRawFrame(const std::string& path, int w, int h, std::vector<std::uint16_t>& frame);

}  // namespace zelir::arith
