// The alarm mask: one byte per pixel, loaded from the data directory when the block asks for it.
#include <cstdio>
#include <cstring>

#include "base/string_conversion.h"
#include "imaging/ir_manager.h"

void CIRManager::LoadMask() {
    if (parameterBlock_.useMask != 1) return;
    mask_.reset();
    const size_t bytes = size_t{parameterBlock_.width} * parameterBlock_.height;
    if (bytes == 0) return;
    mask_.reset(new uint8_t[bytes]());  // a missing file leaves an all-zero mask
    const std::string path = zelir::WideToUtf8(dataDirectory_) + "mask.raw8";
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        if (std::fread(mask_.get(), 1, bytes, file) != bytes) std::memset(mask_.get(), 0, bytes);
        std::fclose(file);
    }
}
