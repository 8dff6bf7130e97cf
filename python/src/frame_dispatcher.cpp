#include "frame_dispatcher.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include "frame.h"

namespace zelir_py {

struct CallbackState {
    std::mutex mutex;
    std::condition_variable wake;
    bool stopped = false;
    bool pending = false;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint16_t> pixels;
    ParameterLine line{};
    const uint8_t* block = nullptr;  // the handle's parameter block, refreshed before each call
};

namespace {

int OnFrame(uint8_t* frame, FrameInfo* info, void* context) {
    auto* state = static_cast<CallbackState*>(context);
    std::lock_guard<std::mutex> guard(state->mutex);
    if (state->stopped || frame == nullptr || info == nullptr) return 0;
    const size_t pixels = size_t{info->width} * info->height;
    if (info->byteCount < pixels * sizeof(uint16_t)) return 0;
    state->pixels.resize(pixels);
    std::memcpy(state->pixels.data(), frame, pixels * sizeof(uint16_t));
    state->width = info->width;
    state->height = info->height;
    if (state->block != nullptr) std::memcpy(state->line.data(), state->block, state->line.size());
    state->pending = true;
    state->wake.notify_one();
    return 0;
}

// States whose callback was removed: never freed, since the receive thread may hold the pointer
// a moment longer; their frame buffers are released.
void Retire(CallbackState* state) {
    static std::mutex lock;
    static std::vector<std::unique_ptr<CallbackState>> retired;
    {
        std::lock_guard<std::mutex> guard(state->mutex);
        state->stopped = true;
        state->pixels = {};
        state->wake.notify_all();
    }
    std::lock_guard<std::mutex> guard(lock);
    retired.emplace_back(state);
}

// Waits for frames and calls `callback` with each, until the state is stopped.
void Deliver(CallbackState* state, std::weak_ptr<Source> weakSource,
             std::shared_ptr<py::object> callback) {
    std::vector<uint16_t> pixels;
    for (;;) {
        uint32_t width = 0, height = 0;
        ParameterLine line{};
        {
            std::unique_lock<std::mutex> guard(state->mutex);
            state->wake.wait(guard, [&] { return state->pending || state->stopped; });
            if (state->stopped) return;
            pixels.swap(state->pixels);
            width = state->width;
            height = state->height;
            line = state->line;
            state->pending = false;
        }
        py::gil_scoped_acquire gil;
        const std::shared_ptr<Source> source = weakSource.lock();
        if (!source) return;
        try {
            (*callback)(MakeFrame(source, pixels.data(), width, height, line));
        } catch (py::error_already_set& error) {
            error.discard_as_unraisable("zelir frame callback");
        }
    }
}

}  // namespace

FrameDispatcher::FrameDispatcher(Source& source, py::object callback) : state_(new CallbackState) {
    source.RunChecked("installing the frame callback", [&](ZelIrHandle h) {
        void* block = nullptr;
        if (ZelIr_GetDeviceIRIParam(h, &block) == 1) {
            state_->block = static_cast<const uint8_t*>(block);
        }
        handle_ = h;
        return ZelIr_SetCallBackFun(h, &OnFrame, state_);
    });
    // Dropping the last reference to a Python object needs the GIL, wherever it happens.
    std::shared_ptr<py::object> callable(new py::object(std::move(callback)), [](py::object* o) {
        py::gil_scoped_acquire gil;
        delete o;
    });
    thread_ = std::thread(Deliver, state_, source.weak_from_this(), std::move(callable));
}

FrameDispatcher::~FrameDispatcher() {
    if (handle_ != nullptr) ZelIr_SetCallBackFun(handle_, nullptr, nullptr);
    Retire(state_);
    // The callback itself may have dropped the last reference to the source.
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
    } else if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace zelir_py
