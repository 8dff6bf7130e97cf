// An open handle as Python sees it: a camera, a movie or an image file.
#pragma once

#include <pybind11/pybind11.h>
#include <zelir/zelir.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "debug_messages.h"

namespace zelir_py {

namespace py = pybind11;

class FrameDispatcher;

enum class SourceKind { kCamera, kMovie, kImage };

class Source : public std::enable_shared_from_this<Source> {
  public:
    // Opens a camera path ("cam://0", "gige://198.18.0.2") or a file; throws LibraryError.
    explicit Source(const std::string& path);
    ~Source();
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    void Close();
    bool Closed() const { return handle_ == nullptr; }
    const std::string& Path() const { return path_; }
    SourceKind Kind() const { return kind_; }
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    std::optional<uint32_t> FrameCount();

    // Runs `call(handle)` under the source's lock with the GIL released and returns its result;
    // throws LibraryError (with the library's messages) when `succeeded(result)` is false.
    template <class Call, class Check>
    auto Run(const char* what, Call call, Check succeeded) {
        const uint64_t mark = DebugMark();
        decltype(call(ZelIrHandle{})) result{};
        {
            py::gil_scoped_release release;
            std::lock_guard<std::mutex> guard(mutex_);
            if (handle_ == nullptr) throw LibraryError(path_ + " is closed");
            result = call(handle_);
        }
        if (!succeeded(result)) Fail(std::string(what) + " failed on " + path_, mark);
        return result;
    }
    // The same for the many calls that return 1 on success.
    template <class Call>
    void RunChecked(const char* what, Call call) {
        Run(what, call, [](auto result) { return result == 1; });
    }
    // The same for calls that cannot fail once the handle is open.
    template <class Call>
    auto RunUnchecked(Call call) {
        return Run("", call, [](auto) { return true; });
    }

    // Raises LibraryError unless the source is a camera.
    void RequireCamera(const char* what) const;

    // The frame callback (None removes it); see frame_dispatcher.h.
    void SetFrameCallback(py::object callback);

  private:
    std::string path_;
    ZelIrHandle handle_ = nullptr;
    SourceKind kind_ = SourceKind::kImage;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    std::mutex mutex_;
    std::unique_ptr<FrameDispatcher> dispatcher_;
};

// Closes every source still open (at interpreter exit).
void CloseAllSources();

void BindSource(py::module_& module);
void BindCameraControls(py::class_<Source, std::shared_ptr<Source>>& source);

}  // namespace zelir_py
