// The camera's stream reception counters as one line of text.
#pragma once

#include <zelir/zelir.h>

namespace zelir_cli {

// Prints the counters and state of a camera handle's stream; false when it has none.
bool PrintStreamStats(ZelIrHandle handle);

}  // namespace zelir_cli
