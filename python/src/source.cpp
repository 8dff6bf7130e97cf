#include "source.h"

#include <pybind11/stl.h>

#include <chrono>
#include <set>
#include <thread>

#include "frame.h"
#include "frame_dispatcher.h"

namespace zelir_py {
namespace {

constexpr uint32_t kCameraHandle = 1;
constexpr uint32_t kMovieHandle = 2;
constexpr auto kNewFrameWait = std::chrono::seconds(5);
constexpr auto kPollInterval = std::chrono::milliseconds(1);

// Opening, closing and discovery must not overlap (they share the device list).
std::mutex& OpenCloseLock() {
    static std::mutex lock;
    return lock;
}

// Sources not yet destroyed, so that they can be closed before the interpreter shuts down:
// afterwards a frame callback thread could no longer take the GIL to finish.
struct OpenSources {
    std::mutex mutex;
    std::set<Source*> sources;
};

OpenSources& Registry() {
    static OpenSources registry;
    return registry;
}

bool IsCameraPath(const std::string& path) {
    return path.rfind("cam:", 0) == 0 || path.find("://") != std::string::npos;
}

std::wstring Wide(const std::string& text) {
    const py::str decoded(text);
    return decoded.cast<std::wstring>();
}

}  // namespace

Source::Source(const std::string& path) : path_(path) {
    CollectDebugMessages();
    const std::wstring wide = Wide(path);
    const uint64_t mark = DebugMark();
    {
        py::gil_scoped_release release;
        std::lock_guard<std::mutex> guard(OpenCloseLock());
        ZelIr_Init();
        handle_ = IsCameraPath(path) ? ZelIr_OpenDevice(wide.c_str(), nullptr)
                                     : ZelIr_MovieFileOpen(wide.c_str());
    }
    if (handle_ == nullptr) Fail("cannot open " + path, mark);
    {
        std::lock_guard<std::mutex> guard(Registry().mutex);
        Registry().sources.insert(this);
    }
    const uint32_t type = ZelIr_GetHandleType(handle_);
    kind_ = type == kCameraHandle  ? SourceKind::kCamera
            : type == kMovieHandle ? SourceKind::kMovie
                                   : SourceKind::kImage;
    ZelIr_GetDigitArrayPara(handle_, &width_, &height_);
}

Source::~Source() {
    {
        std::lock_guard<std::mutex> guard(Registry().mutex);
        Registry().sources.erase(this);
    }
    try {
        py::gil_scoped_acquire gil;
        Close();
    } catch (...) {  // a destructor must not throw; the handle is gone either way
    }
}

void Source::Close() {
    if (dispatcher_) {
        py::gil_scoped_release release;
        dispatcher_.reset();
    }
    py::gil_scoped_release release;
    std::lock_guard<std::mutex> openClose(OpenCloseLock());
    std::lock_guard<std::mutex> guard(mutex_);
    if (handle_ != nullptr) ZelIr_Close(handle_);
    handle_ = nullptr;
}

void CloseAllSources() {
    std::set<Source*> sources;
    {
        std::lock_guard<std::mutex> guard(Registry().mutex);
        sources = Registry().sources;
    }
    for (Source* source : sources) source->Close();
}

std::optional<uint32_t> Source::FrameCount() {
    if (kind_ == SourceKind::kCamera) return std::nullopt;
    if (kind_ == SourceKind::kImage) return 1u;
    return RunUnchecked([](ZelIrHandle h) { return ZelIr_MovieGetTotalFrm(h); });
}

void Source::RequireCamera(const char* what) const {
    if (kind_ != SourceKind::kCamera) throw LibraryError(std::string(what) + " needs a camera");
}

void Source::SetFrameCallback(py::object callback) {
    RequireCamera("on_frame");
    if (dispatcher_) {
        py::gil_scoped_release release;
        dispatcher_.reset();
    }
    if (callback.is_none()) return;
    dispatcher_ = std::make_unique<FrameDispatcher>(*this, std::move(callback));
}

class FrameIterator {
  public:
    FrameIterator(std::shared_ptr<Source> source, std::optional<int64_t> n)
        : source_(std::move(source)) {
        if (n && *n < 0) throw py::value_error("n must not be negative");
        const std::optional<uint32_t> count = source_->FrameCount();
        remaining_ = count ? std::min<int64_t>(n.value_or(*count), *count) : n.value_or(-1);

        if (source_->Kind() == SourceKind::kCamera) {
            lastId_ = source_->RunUnchecked([](ZelIrHandle h) {
                ZelIr_GetNewArray(h);
                return ZelIr_GetFrameID(h);
            });
        }
    }

    std::shared_ptr<Frame> Next() {
        if (remaining_ == 0) throw py::stop_iteration();
        if (remaining_ > 0) --remaining_;
        if (source_->Kind() == SourceKind::kCamera) return NextCameraFrame();
        if (source_->Kind() == SourceKind::kMovie && next_ == 0) {
            // A new-frame request steps first, so frame 0 is fetched by moving to it.
            source_->RunChecked("fetching frame 0", [](ZelIrHandle h) {
                const uint32_t position = ZelIr_MovieGetPosi(h);
                return position > 0 ? ZelIr_MovieBackward(h, position) : ZelIr_MovieForward(h, 0);
            });
        } else {
            source_->RunChecked("fetching a frame", ZelIr_GetNewArray);
        }
        return TakeFrame(source_, next_++);
    }

  private:
    std::shared_ptr<Frame> NextCameraFrame() {
        const auto deadline = std::chrono::steady_clock::now() + kNewFrameWait;
        const auto fresh = [&](uint32_t id) {
            return id != lastId_ || std::chrono::steady_clock::now() > deadline;
        };
        const uint32_t id = source_->Run(
            "waiting for a new frame",
            [&](ZelIrHandle h) {
                for (;;) {
                    if (ZelIr_GetNewArray(h) != 1) return lastId_;
                    const uint32_t now = ZelIr_GetFrameID(h);
                    if (fresh(now)) return now;
                    std::this_thread::sleep_for(kPollInterval);
                }
            },
            [&](uint32_t result) { return result != lastId_; });
        lastId_ = id;
        return TakeFrame(source_, std::nullopt);
    }

    std::shared_ptr<Source> source_;
    int64_t remaining_ = -1;  // -1: no end
    int64_t next_ = 0;
    uint32_t lastId_ = 0;
};

void BindSource(py::module_& module) {
    py::class_<FrameIterator>(module, "FrameIterator", "Iterator over the frames of a source.")
        .def("__iter__", [](FrameIterator& it) -> FrameIterator& { return it; })
        .def("__next__", &FrameIterator::Next);

    py::class_<Source, std::shared_ptr<Source>> source(
        module, "Source",
        "An open camera, movie or image (use zelir.open). Closing it (or leaving its `with`\n"
        "block) closes the handle; the library then stores the display settings.");
    source.def(py::init<const std::string&>(), py::arg("path"))
        .def("close", &Source::Close, "Closes the handle; later calls raise zelir.Error.")
        .def_property_readonly("closed", &Source::Closed, "True after close().")
        .def_property_readonly("path", &Source::Path, "The path it was opened with.")
        .def_property_readonly(
            "kind",
            [](const Source& s) {
                return s.Kind() == SourceKind::kCamera  ? "camera"
                       : s.Kind() == SourceKind::kMovie ? "movie"
                                                        : "image";
            },
            "'camera', 'movie' or 'image'.")
        .def_property_readonly("width", &Source::Width, "Frame width in pixels.")
        .def_property_readonly("height", &Source::Height, "Frame height in pixels.")
        .def_property_readonly("frame_count", &Source::FrameCount,
                               "Frames in a movie, 1 for an image, None for a camera.")
        .def(
            "frames",
            [](const std::shared_ptr<Source>& s, std::optional<int64_t> n) {
                return FrameIterator(s, n);
            },
            py::arg("n") = py::none(),
            "Iterates over frames: a movie's frames once from frame 0 to its end, an image\n"
            "once, a camera's new frames (each once, none older than the call) without end.\n"
            "`n` stops after that many. The GIL is released while a camera frame is awaited.")
        .def("__enter__", [](const std::shared_ptr<Source>& s) { return s; })
        .def("__exit__", [](Source& s, const py::args&) { s.Close(); })
        .def("__repr__", [](const Source& s) {
            return "<zelir.Source " + s.Path() + (s.Closed() ? " closed>" : ">");
        });
    BindCameraControls(source);
    py::module_::import("atexit").attr("register")(py::cpp_function(&CloseAllSources));
}

}  // namespace zelir_py
