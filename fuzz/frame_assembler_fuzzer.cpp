// Frame reassembly from raw stream packets: a small geometry from the first bytes, then packets
// (16-bit length, payload). The frame callback reads the FrameInfo it is given in full, every
// byte it claims; fetches copy the newest frame out as an application does.
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "gige/frame_assembler.h"

using namespace zelir::fuzz;
using zelir::gige::FrameAssembler;

namespace {

struct Reader {
    uint32_t capacity;  // bytes the slot holds from the frame pointer
    uint64_t sum = 0;
};

int ReadWholeFrame(uint8_t* frame, FrameInfo* info, void* context) {
    auto& reader = *static_cast<Reader*>(context);
    // A frame of height x width pixels of two bytes: the callback may read all of them.
    if (uint64_t{info->height} * info->width * 2 != info->byteCount) std::abort();
    if (info->byteCount > reader.capacity) std::abort();
    for (uint32_t i = 0; i < info->byteCount; ++i) reader.sum += frame[i];
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input({data, size});
    const uint32_t width = 1 + input.Byte() % 160;
    const uint32_t height = 1 + input.Byte() % 64;
    const uint8_t flags = input.Byte();
    const bool callback = (flags & 1) != 0;
    FrameAssembler assembler(width, height);
    assembler.SetAnyOrder((flags & 2) != 0);
    Reader reader{assembler.SlotCapacity()};
    if (callback) assembler.SetFrameCallback(&ReadWholeFrame, &reader);

    std::vector<uint8_t> record(assembler.SlotCapacity());
    uint32_t imageBytes = 0, pixelKind = 0, bytesPerPixel = 0;
    uint64_t seen = 0;
    std::array<uint8_t, FrameAssembler::kPublishedLineBytes> line{};
    while (!input.Empty()) {
        const auto packet = input.Chunk();
        // Data is copied from the packet's own bytes only: give it a buffer of its exact size.
        const std::vector<uint8_t> exact(packet.begin(), packet.end());
        assembler.HandlePacket(exact);
        // Switching order mode between packets starts over with the next frame.
        if (exact.size() == 1) assembler.SetAnyOrder((exact[0] & 1) != 0);
        if (assembler.FetchNewestFrame({record, &imageBytes, &pixelKind, &bytesPerPixel}) == 1 &&
            imageBytes + FrameAssembler::P > record.size()) {
            std::abort();
        }
        assembler.TakePublishedLine(seen, line);
    }
    assembler.EventWords();
    assembler.Counters();
    return 0;
}
