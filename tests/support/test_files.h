// Files for tests: a scratch folder, whole-file reads and writes, little-endian fields, and
// recorded movies written byte by byte from their layout, independently of the library's writers.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace zelir_test {

// A fresh folder of its own under the system's temporary folder, removed with its contents.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& name = "test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("zelir-" + name + "-XXXXXX")).string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::wstring WideFile(const std::string& name) const { return (path_ / name).wstring(); }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Little-endian field access at a byte offset.
template <class T>
T Get(std::span<const uint8_t> bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

template <class T>
void Put(std::vector<uint8_t>& bytes, size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof(T));
}

template <class T>
void Append(std::vector<uint8_t>& bytes, T value) {
    const auto* p = reinterpret_cast<const uint8_t*>(&value);
    bytes.insert(bytes.end(), p, p + sizeof(T));
}

// A recognisable pattern: byte i is (i * 7 + seed) mod 251.
inline std::vector<uint8_t> Pattern(size_t count, uint8_t seed = 0) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>((i * 7 + seed) % 251);
    return bytes;
}

inline std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<uint8_t> bytes(count);
    for (auto& byte : bytes) byte = static_cast<uint8_t>(generator());
    return bytes;
}

using Frame = std::vector<uint16_t>;

// A frame whose every value tells frame number and pixel apart.
inline Frame NumberedFrame(uint16_t width, uint16_t height, uint32_t number) {
    Frame frame(size_t{width} * height);
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<uint16_t>(1000 + number * 97 + (i * 13) % 4000);
    }
    return frame;
}

// A movie: 64-byte header (tag, times, frame count at 52, width at 60, height at 62), frames.
inline void WriteMovie(const std::string& path, uint16_t width, uint16_t height,
                       const std::vector<Frame>& frames, uint32_t headerCount,
                       bool finished = true) {
    uint8_t header[64] = {};
    std::memcpy(header, "IRGIGE", 6);
    std::memcpy(header + 10, "2026 12 06 10:00:00", 19);
    if (finished) {
        std::memcpy(header + 30, "2026 12 06 10:00:01", 19);
        std::memcpy(header + 52, &headerCount, 4);
        std::memcpy(header + 60, &width, 2);
        std::memcpy(header + 62, &height, 2);
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header), sizeof(header));
    for (const Frame& frame : frames) {
        out.write(reinterpret_cast<const char*>(frame.data()),
                  static_cast<std::streamsize>(frame.size() * 2));
    }
}

// Makes the frame's first 100 bytes a valid parameter line for its geometry, with `pole`.
inline void PutParameterLine(Frame& frame, uint16_t width, uint16_t height, int16_t pole) {
    frame[0] = 1;  // marker
    frame[1] = 6;  // line size
    frame[2] = width;
    frame[3] = height;
    frame[49] = static_cast<uint16_t>(pole);  // byte 98
}

// Makes a FIFO at `path`: opening it for reading blocks until a writer comes.
inline bool MakeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}

}  // namespace zelir_test
