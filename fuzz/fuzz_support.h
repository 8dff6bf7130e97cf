// Shared pieces of the fuzz harnesses: a scratch folder per process, files written from input
// bytes, and a reader that takes an input apart into values and chunks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace zelir::fuzz {

// A folder of its own under the temporary folder, made once per process (ends in '/').
const std::string& ScratchFolder();
// Replaces `path` with exactly these bytes.
void WriteFile(const std::string& path, std::span<const uint8_t> bytes);

class InputReader {
  public:
    explicit InputReader(std::span<const uint8_t> data) : data_(data) {}
    bool Empty() const { return data_.empty(); }
    uint8_t Byte() {
        if (data_.empty()) return 0;
        const uint8_t b = data_[0];
        data_ = data_.subspan(1);
        return b;
    }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | Byte() << 8); }
    // The next `n` bytes, fewer at the end.
    std::span<const uint8_t> Take(size_t n) {
        const auto part = data_.first(std::min(n, data_.size()));
        data_ = data_.subspan(part.size());
        return part;
    }
    // A chunk led by its 16-bit length.
    std::span<const uint8_t> Chunk() { return Take(Word()); }
    std::span<const uint8_t> Rest() { return Take(data_.size()); }

  private:
    std::span<const uint8_t> data_;
};

}  // namespace zelir::fuzz
