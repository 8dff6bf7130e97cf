// Bounded reads from byte spans and files, and whole-file writes, for the file format code.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <type_traits>

#include "formats/file_result.h"

// File layouts are little-endian and are copied byte for byte into packed structs.
static_assert(std::endian::native == std::endian::little,
              "the file formats need a little-endian host");

namespace zelir::files {

// Read-only random access to the bytes of a file or a buffer. No read goes past the end.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies up to dest.size() bytes starting at `offset`; returns how many were copied,
    // fewer at the end of the data.
    virtual size_t ReadAt(uint64_t offset, std::span<uint8_t> dest) const = 0;

    bool ReadExact(uint64_t offset, std::span<uint8_t> dest) const {
        return ReadAt(offset, dest) == dest.size();
    }
    template <class T>
    bool ReadStruct(uint64_t offset, T& value) const {
        static_assert(std::is_trivially_copyable_v<T>);
        return ReadExact(offset, std::span(reinterpret_cast<uint8_t*>(&value), sizeof(T)));
    }
};

// The bytes of a buffer the caller keeps alive.
class SpanSource final : public ByteSource {
  public:
    explicit SpanSource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    size_t ReadAt(uint64_t offset, std::span<uint8_t> dest) const override;

  private:
    std::span<const uint8_t> bytes_;
};

// A file opened read-only. Offsets are 64-bit, so files past 2 GiB read like any other.
// The size is taken once at open: the formats derive frame counts from it.
class FileSource final : public ByteSource {
  public:
    explicit FileSource(const std::filesystem::path& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, std::span<uint8_t> dest) const override;

  private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

// Creates (or truncates) a file and writes it front to back. A writer that is not finished
// successfully removes its file, so a failed save leaves nothing behind. kReplace writes beside
// the target and renames on Finish, so the file that was there stays whole until then.
enum class WriteMode { kInPlace, kReplace };

class FileWriter {
  public:
    explicit FileWriter(const std::filesystem::path& path, WriteMode mode = WriteMode::kInPlace);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Failures are remembered and reported by Finish.
    void Write(std::span<const uint8_t> bytes);
    template <class T>
    void WriteStruct(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        Write(std::span(reinterpret_cast<const uint8_t*>(&value), sizeof(T)));
    }
    template <class T>
    void WriteArray(std::span<const T> values) {
        static_assert(std::is_trivially_copyable_v<T>);
        Write(std::span(reinterpret_cast<const uint8_t*>(values.data()), values.size_bytes()));
    }
    // Closes the file: kOk, or kWriteFailed (file removed) when any write or the close failed.
    FileResult Finish();

  private:
    std::filesystem::path target_;
    std::filesystem::path path_;  // what is being written: the target, or the file beside it
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// Writes `bytes` as the whole content of a new file at `path`.
FileResult WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace zelir::files
