#include "formats/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/regular_file.h"

namespace zelir::files {

size_t SpanSource::ReadAt(uint64_t offset, std::span<uint8_t> dest) const {
    if (offset >= bytes_.size()) return 0;
    const size_t count = std::min<uint64_t>(dest.size(), bytes_.size() - offset);
    std::memcpy(dest.data(), bytes_.data() + offset, count);
    return count;
}

FileSource::FileSource(const std::filesystem::path& path) : fd_(OpenRegularFile(path.c_str())) {
    // Only regular files have a size the formats can be judged by.
    struct stat status {};
    if (fd_ >= 0 && ::fstat(fd_, &status) == 0) size_ = static_cast<uint64_t>(status.st_size);
}

FileSource::~FileSource() {
    if (fd_ >= 0) ::close(fd_);
}

size_t FileSource::ReadAt(uint64_t offset, std::span<uint8_t> dest) const {
    size_t done = 0;
    while (fd_ >= 0 && done < dest.size()) {
        const ssize_t n =
            ::pread(fd_, dest.data() + done, dest.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

FileWriter::FileWriter(const std::filesystem::path& path, WriteMode mode)
    : target_(path),
      path_(mode == WriteMode::kReplace ? std::filesystem::path(path.string() + ".tmp") : path),
      file_(std::fopen(path_.c_str(), "wb")) {}

FileWriter::~FileWriter() {
    if (file_ == nullptr) return;
    std::fclose(file_);
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

void FileWriter::Write(std::span<const uint8_t> bytes) {
    if (file_ == nullptr || failed_ || bytes.empty()) return;
    failed_ = std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size();
}

FileResult FileWriter::Finish() {
    if (file_ == nullptr) return FileResult::kCannotOpen;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    std::error_code error;
    if (closed && !failed_) {
        if (path_ == target_) return FileResult::kOk;
        std::filesystem::rename(path_, target_, error);
        if (!error) return FileResult::kOk;
    }
    std::filesystem::remove(path_, error);
    return FileResult::kWriteFailed;
}

FileResult WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    FileWriter writer(path);
    if (!writer.IsOpen()) return FileResult::kCannotOpen;
    writer.Write(bytes);
    return writer.Finish();
}

}  // namespace zelir::files
