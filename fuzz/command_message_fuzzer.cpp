// The camera's framed messages as the receiving side meets them: chunks of reply bytes (16-bit
// length, bytes) appended to a descriptor, with a parse after each chunk until nothing parses.
#include <cstdlib>

#include "fuzz_support.h"
#include "gige/command_message.h"

using namespace zelir::fuzz;
using namespace zelir::gige;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input({data, size});
    CommandMessage messages;
    MessageDescriptor& d = *messages.Descriptor(0);
    while (!input.Empty()) {
        const auto chunk = input.Chunk();
        messages.AppendReceived(d, chunk.data(), 0, static_cast<uint32_t>(chunk.size()));
        for (int parsed = 0; parsed < 64; ++parsed) {
            const uint16_t before = CommandMessage::BytesAvailable(d);
            const uint16_t result = messages.ParseMessage(d);
            if (CommandMessage::BytesAvailable(d) > before) std::abort();  // parsing only consumes
            if (result == kParseIncomplete || CommandMessage::BytesAvailable(d) == 0) break;
        }
    }
    // Building after parsing must still stay inside the send buffer.
    const auto rest = input.Rest();
    messages.BuildMessage(0x0101, 0, rest.data(), static_cast<uint32_t>(rest.size()));
    return 0;
}
