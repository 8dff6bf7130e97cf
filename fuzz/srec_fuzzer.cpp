// S-records: every line through DecodeSrec and back through EncodeSrec, then the input as one
// S-record file, and split in two as a hardware and software pair, through the converters.
#include <zelir/zelir.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"

using namespace zelir::fuzz;

namespace {

void DecodeLines(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);  // NULs inside end it early
        SrecRecord record{};
        if (DecodeSrec(&record, line.c_str()) == 0) {
            char encoded[SREC_LINE_BUFFER_SIZE];
            if (EncodeSrec(&record, encoded) == 0) {
                SrecRecord again{};
                // What the encoder writes, the decoder takes back unchanged.
                if (DecodeSrec(&again, encoded) != 0 || again.type != record.type ||
                    again.address != record.address || again.length != record.length ||
                    std::memcmp(again.data, record.data, record.length) != 0) {
                    std::abort();
                }
            }
        }
        start = end + 1;
    }
}

void Convert(const std::string& path, std::span<const uint8_t> bytes) {
    WriteFile(path, bytes);
    uint32_t start = 0;
    uint8_t* image = nullptr;
    SrecToBin(path.c_str(), &start, &image, nullptr);
    ZelIr_FreeSrecImage(image);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodeLines(data, size);
    const std::string folder = ScratchFolder();
    Convert(folder + "whole.srec", {data, size});

    const std::span<const uint8_t> input(data, size);
    const size_t half = size / 2;
    WriteFile(folder + "hw.flash", input.first(half));
    WriteFile(folder + "sw.flash", input.subspan(half));
    uint32_t start = 0;
    uint8_t* image = nullptr;
    SrecCombinedToBin((folder + "hw.flash").c_str(), (folder + "sw.flash").c_str(), &start, &image,
                      nullptr);
    ZelIr_FreeSrecImage(image);
    return 0;
}
