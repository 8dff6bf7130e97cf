// The C interface's return values of core results: the exports speak 1/0 or 0/-1, the core
// speaks Status, and only this layer translates.
#pragma once

#include <cstdint>

#include "base/status.h"

namespace zelir {

// 1 on success, 0 on any failure.
inline int32_t OneOrZero(Status status) {
    return status == Status::kOk ? 1 : 0;
}

// 0 on success, -1 on any failure.
inline int32_t ZeroOrMinusOne(Status status) {
    return status == Status::kOk ? 0 : -1;
}

}  // namespace zelir
