#include "stream_stats.h"

#include <cinttypes>
#include <cstdio>

namespace zelir_cli {

namespace {

const char* StateName(uint32_t state) {
    switch (state) {
        case ZELIR_STREAM_WAITING:
            return "waiting";
        case ZELIR_STREAM_RECEIVING:
            return "receiving";
        default:
            return "lost";
    }
}

}  // namespace

bool PrintStreamStats(ZelIrHandle handle) {
    ZelIrStreamStats stats{};
    if (ZelIr_GetStreamStats(handle, &stats) == 0) return false;
    std::printf("stream: %" PRIu64 " frames completed, %" PRIu64 " dropped incomplete, %" PRIu64
                " packets out of order, %" PRIu64 " packets repeated, %s\n",
                stats.framesCompleted, stats.framesDroppedIncomplete, stats.packetsOutOfOrder,
                stats.packetsRepeated, StateName(stats.state));
    return true;
}

}  // namespace zelir_cli
