// Calls through the C interface never throw: a guarded body's exception becomes its failure.
#pragma once

namespace zelir {

template <typename Result, typename Body>
Result Guarded(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

}  // namespace zelir
