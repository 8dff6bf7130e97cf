#include "transport_advice.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace zelir_cli {

namespace {

constexpr int kCapNetRaw = 13;

// The effective capability set from /proc/self/status ("CapEff:\t000001ffffffffff").
bool MayCapture() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("CapEff:", 0) != 0) continue;
        const uint64_t effective = std::strtoull(line.c_str() + 7, nullptr, 16);
        return ((effective >> kCapNetRaw) & 1) != 0;
    }
    return geteuid() == 0;
}

std::string ThisProgram() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : "zelir";
}

}  // namespace

std::string TransportAdvice() {
    const char* forced = std::getenv("ZELIR_TRANSPORT");
    if (forced == nullptr || std::string(forced) != "capture" || MayCapture()) return {};
    return "packet capture (ZELIR_TRANSPORT=capture) needs root or the capabilities "
           "cap_net_raw,cap_net_admin, which this process lacks\n"
           "  give them once: sudo setcap cap_net_raw,cap_net_admin+ep " +
           ThisProgram() +
           "\n"
           "  or reach the cameras through UDP sockets: ZELIR_TRANSPORT=socket (or unset it)";
}

}  // namespace zelir_cli
