#include "base/plain_files.h"

#include <unistd.h>

#include <cstring>

#include "base/regular_file.h"

namespace Infrared_1_0 {

CAsciiFile::~CAsciiFile() {
    Close();
}

bool CAsciiFile::Open(const char* path, int mode) {
    Close();
    if (path == nullptr || mode != kModeRead) return false;
    // A text file is read to its end: a FIFO or a device is never opened for that.
    const int fd = zelir::OpenRegularFile(path);
    if (fd < 0) return false;
    file_ = ::fdopen(fd, "rb");
    if (file_ == nullptr) ::close(fd);
    return file_ != nullptr;
}

bool CAsciiFile::GetLine(char* buffer, int64_t size) {
    if (file_ == nullptr || buffer == nullptr || size < 1) return false;
    int64_t length = 0;
    bool any = false;
    int c;
    while ((c = std::fgetc(file_)) != EOF) {
        any = true;
        if (c == '\n') break;
        if (length < size - 1) buffer[length++] = static_cast<char>(c);
    }
    if (!any) return false;
    if (length > 0 && buffer[length - 1] == '\r') --length;
    buffer[length] = '\0';
    return true;
}

bool CAsciiFile::Close() {
    if (file_ == nullptr) return false;
    std::fclose(file_);
    file_ = nullptr;
    return true;
}

CBinaryFile::~CBinaryFile() {
    Close();
}

bool CBinaryFile::Open(const char* path, int mode) {
    Close();
    if (path == nullptr || mode != kModeWriteNew) return false;
    file_ = std::fopen(path, "wb");
    return file_ != nullptr;
}

bool CBinaryFile::Write(const char* data, int64_t length) {
    if (file_ == nullptr || (data == nullptr && length > 0) || length < 0) return false;
    return std::fwrite(data, 1, static_cast<size_t>(length), file_) == static_cast<size_t>(length);
}

bool CBinaryFile::Close() {
    if (file_ == nullptr) return false;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
}

}  // namespace Infrared_1_0
