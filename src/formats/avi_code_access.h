// The work behind CAviCode's create, with the encoder to use as an argument, so that tests can
// record through the uncompressed path on a machine that has the MPEG-4 encoder.
#pragma once

#include <zelir/avi_code.h>

namespace zelir {

struct AviCodeAccess {
    // `fps` frames every `fpsDivisor` seconds.
    static int CreateAviFile(CAviCode& code, const wchar_t* path, unsigned int fps,
                             const BITMAPINFO* format, const char* encoder,
                             unsigned int fpsDivisor = 1);
    static const AviFileWriter* file(const CAviCode& code) { return code.file_; }
};

}  // namespace zelir
