// Opening a camera or a recorded file, fetching frames and applying display options.
#pragma once

#include <zelir/zelir.h>

#include <optional>
#include <string>

#include "cli_args.h"
#include "stored_settings.h"

namespace zelir_cli {

// Closes its handle when it goes out of scope and leaves the stored display settings as they
// were at open, unless KeepSettings() was called.
class Handle {
  public:
    explicit Handle(ZelIrHandle handle = nullptr);
    ~Handle();
    Handle(Handle&& other) noexcept
        : handle_(other.handle_), stored_(std::move(other.stored_)), keep_(other.keep_) {
        other.handle_ = nullptr;
    }
    Handle& operator=(Handle&&) = delete;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    ZelIrHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // The settings this command changes stay stored for later commands and applications.
    void KeepSettings() { keep_ = true; }

  private:
    ZelIrHandle handle_;
    std::optional<StoredSettings> stored_;
    bool keep_ = false;
};

// A camera for connection paths ("cam://0", "cam:1", "gige://198.18.0.2"), a file otherwise.
Handle OpenSource(const std::string& path);
bool IsCameraPath(const std::string& path);
// Why `path` did not open, and what to do next: a camera index beyond those found, a file
// that is missing, a directory or of no kind the library reads.
std::string OpenFailure(const std::string& path);
// Opens `path`, printing OpenFailure on failure.
Handle OpenOrExplain(const std::string& path);
// A camera only; prints why on failure (a file path, or no camera answering there).
Handle OpenCamera(const std::string& path);

// Number of frames a source offers: a movie's frame count, 1 for an image.
uint32_t FrameCount(ZelIrHandle handle);

// Makes frame `index` of a movie (the image of an image file, a new frame of a camera) the
// current frame.
bool FetchFrame(ZelIrHandle handle, uint32_t index);

// Applies --palette N and --bc-type T, and keeps them stored with --save-settings; false (with
// the message printed) for bad values.
bool ApplyDisplayOptions(Handle& handle, const Args& args);

}  // namespace zelir_cli
