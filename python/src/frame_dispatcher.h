// The frame callback of a camera. The library calls a C function on the camera's receive
// thread; it copies the frame and returns at once. A thread of our own waits for frames without
// the GIL and holds the GIL only while it calls the Python callable with a zelir.Frame. When
// Python is slower than the camera, the newest frame replaces one not yet delivered.
#pragma once

#include <pybind11/pybind11.h>
#include <zelir/zelir.h>

#include <memory>
#include <thread>

#include "source.h"

namespace zelir_py {

struct CallbackState;

class FrameDispatcher {
  public:
    // Installs the callback on `source` (a camera); throws LibraryError when refused.
    FrameDispatcher(Source& source, py::object callback);
    // Removes the callback and stops the thread. Called without the GIL.
    ~FrameDispatcher();
    FrameDispatcher(const FrameDispatcher&) = delete;
    FrameDispatcher& operator=(const FrameDispatcher&) = delete;

  private:
    ZelIrHandle handle_ = nullptr;
    CallbackState* state_;  // outlives us: the receive thread may still be on its way in
    std::thread thread_;    // owns what it needs: it may outlive us when it closed the source
};

}  // namespace zelir_py
