// Writing the current frame of a handle as a file: combined image, raw digits or palette BMP.
#pragma once

#include <zelir/zelir.h>

#include <string>

namespace zelir_cli {

// "combined" (PATH and PATH.raw), "raw" (bare 16-bit digits) or "bmp" (8-bit palette image).
bool IsFrameFormat(const std::string& format);
// File name extension that suits the format.
const char* FrameExtension(const std::string& format);
bool SaveFrame(ZelIrHandle handle, const std::string& format, const std::string& path);

}  // namespace zelir_cli
