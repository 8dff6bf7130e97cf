// Files for tests: a scratch directory, and recorded movies and raw images written byte by byte
// from the documented layouts, independently of the library's own writers.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zelir_test {

class ScratchDir {
  public:
    explicit ScratchDir(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                ("zelir-" + name + "-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() { std::filesystem::remove_all(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::wstring WideFile(const std::string& name) const { return (path_ / name).wstring(); }

  private:
    std::filesystem::path path_;
};

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

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace zelir_test
