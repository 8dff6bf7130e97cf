// Shared pieces of the namespace tests that use the library's internals: the host adapters, on
// top of the emulators' admin port and addresses.
#pragma once

#include <cstring>

#include "gige/adapter_table.h"
#include "gige/net_interface.h"
#include "support/camsim_admin.h"

namespace zelir::test {

// Index of the host adapter with this name in the adapter table, -1 when missing.
inline int AdapterIndex(const char* name) {
    for (uint32_t k = 0; k < gige::AdapterCount(); ++k) {
        if (std::strcmp(gige::GetAdapter(k)->name, name) == 0) return static_cast<int>(k);
    }
    return -1;
}

}  // namespace zelir::test
