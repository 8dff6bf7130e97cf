// Discovery acknowledgements (GVCP header included), each added to the discovery table as if
// seen on an adapter; the entries made are read back whole.
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "gige/discovery.h"

using namespace zelir::fuzz;
using namespace zelir::gige;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input({data, size});
    while (!input.Empty()) {
        const int index = AddDiscoveredCamera(input.Chunk(), 0, "198.18.0.1");
        if (index < 0) continue;
        const std::optional<DiscoveryEntry> entry = GetDiscoveryEntry(static_cast<uint32_t>(index));
        if (!entry) std::abort();
        // The texts are terminated within their fields.
        if (strnlen(entry->name, sizeof entry->name) == sizeof entry->name ||
            strnlen(entry->hostAddress, sizeof entry->hostAddress) == sizeof entry->hostAddress) {
            std::abort();
        }
    }
    ResetDiscovery();
    return 0;
}
