// A handle of the public interface that is closed when it goes out of scope.
#pragma once

#include <zelir/zelir.h>

#include <memory>

namespace zelir_test {

struct HandleCloser {
    void operator()(void* handle) const { ZelIr_Close(handle); }
};
using OpenHandle = std::unique_ptr<void, HandleCloser>;

}  // namespace zelir_test
