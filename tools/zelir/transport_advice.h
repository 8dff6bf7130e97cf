// What to do when the packet capture was forced and this process may not capture: the library
// says why only on its debug output, so the tool says it when no camera is reached.
#pragma once

#include <string>

namespace zelir_cli {

// Empty unless ZELIR_TRANSPORT=capture is set and the process lacks CAP_NET_RAW; otherwise the
// cause and the remedies, on one line each.
std::string TransportAdvice();

}  // namespace zelir_cli
