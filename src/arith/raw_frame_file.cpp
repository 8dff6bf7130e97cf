#include "raw_frame_file.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/debug_output.h"
#include "base/regular_file.h"
#include "base/unique_file.h"
#include "formats/raw_image.h"

namespace zelir::arith {

static_assert(std::endian::native == std::endian::little, "pixels are read as stored");

namespace {

constexpr long kParameterLine = 100;

Status Refuse(const std::string& path, const char* reason, Status status = Status::kBadData) {
    odprintf("ZelIrArith: raw image %s refused (%s)\n", path.c_str(), reason);
    return status;
}

// Little-endian 16-bit field of the parameter line.
unsigned Field(const unsigned char* line, int offset) {
    return line[offset] | (unsigned{line[offset + 1]} << 8);
}

}  // namespace

Status ReadRawFrame(const std::string& path, int w, int h, std::vector<std::uint16_t>& frame) {
    zelir::UniqueFile file = OpenRegularStream(path.c_str());
    if (!file) return Refuse(path, "cannot open", Status::kCannotOpen);
    std::fseek(file.get(), 0, SEEK_END);
    const long length = std::ftell(file.get());
    std::fseek(file.get(), 0, SEEK_SET);
    const long frameBytes = static_cast<long>(w) * h * 2;

    long skipped = -1;
    if (length == kParameterLine + frameBytes) {
        unsigned char line[kParameterLine];
        if (std::fread(line, 1, sizeof(line), file.get()) == sizeof(line) && Field(line, 0) == 1 &&
            Field(line, 2) >= 5 && Field(line, 2) <= 100 &&
            Field(line, 4) == static_cast<unsigned>(w) &&
            Field(line, 6) == static_cast<unsigned>(h)) {
            skipped = kParameterLine;
        }
    }
    if (skipped < 0) {
        const files::RawImageSize* known = files::FindRawImageSize(static_cast<uint64_t>(length));
        if (!known) return Refuse(path, "unknown size");
        if (known->width != w || known->height != h) return Refuse(path, "other frame size");
        skipped = known->leadingBytes;
    }
    frame.resize(static_cast<std::size_t>(w) * h);
    if (std::fseek(file.get(), skipped, SEEK_SET) != 0 ||
        std::fread(frame.data(), 2, frame.size(), file.get()) != frame.size()) {
        return Refuse(path, "short read", Status::kIoError);
    }
    return Status::kOk;
}

}  // namespace zelir::arith
