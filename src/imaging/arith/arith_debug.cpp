#include "arith_debug.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "zelir_arith.h"

namespace zelir::arith {

namespace {
// The one hook of the library: the host library points it at its own debug sink.
std::atomic<ZelIrArith::DebugOutput> debugOutput{nullptr};
}  // namespace

void DebugPrint(const char* format, ...) {
    ZelIrArith::DebugOutput output = debugOutput.load();
    if (!output && !std::getenv("ZELIR_DEBUG")) return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    if (output) {
        output(text);
    } else {
        std::fputs(text, stderr);
    }
}

}  // namespace zelir::arith

void ZelIrArith::SetDebugOutput(DebugOutput output) {
    zelir::arith::debugOutput.store(output);
}
