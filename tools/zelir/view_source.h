// The source behind `zelir view`: one thread fetches frames from the camera, movie or image at
// the source's own rate, maps them through the display settings and publishes each as a view
// message. Control actions from the page change the settings through the same library calls
// an application makes; every call on the handle runs under one lock.
#pragma once

#include <zelir/zelir.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "frame_mailbox.h"
#include "live_frames.h"
#include "rate_meter.h"
#include "view_control.h"
#include "view_frame.h"

namespace zelir_cli {

enum class SourceKind { kCamera, kMovie, kImage };

class ViewSource {
  public:
    // `handle` stays open as long as this object. `movieRate` paces movies (0: the rate the
    // library reports for the file); recordings of a camera go to `recordDir`.
    ViewSource(ZelIrHandle handle, double movieRate, std::filesystem::path recordDir);
    ~ViewSource();
    ViewSource(const ViewSource&) = delete;
    ViewSource& operator=(const ViewSource&) = delete;

    // Fetches the first frame and starts publishing into `mailbox`; false (with `error`) when
    // the source delivers nothing.
    bool Start(FrameMailbox& mailbox, std::string& error);
    void Stop();

    // Empty on success, otherwise why the action was refused. `detail` receives what the page
    // shows on success (the path of a recording).
    std::string Apply(const ViewControl& control, std::string& detail);

    SourceKind Kind() const { return kind_; }
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }

  private:
    void Run();
    // With the lock held: fetches when the source is due; true when a new frame came.
    bool FetchIfDue();
    bool FetchCameraIfDue(Clock::time_point now);
    std::chrono::steady_clock::time_point NextWake() const;
    void PublishCurrent(bool fresh);
    std::string Seek(int64_t position);
    std::string StartRecording(std::string& detail);

    ZelIrHandle handle_;
    SourceKind kind_;
    std::filesystem::path recordDir_;
    uint32_t width_ = 0, height_ = 0;
    Clock::duration movieInterval_{};
    Clock::time_point nextMovieFrame_{};
    std::optional<FrameSampler> sampler_;
    uint32_t lastFrameId_ = 0;
    Clock::time_point lastArrival_{};  // when lastFrameId_ was first fetched
    Clock::time_point nextPoll_{};
    bool recording_ = false;
    RateMeter rate_;

    std::mutex mutex_;  // every library call on handle_ and the fields below
    std::condition_variable wake_;
    bool dirty_ = true;  // settings changed since the last publication
    bool paused_ = false;
    uint32_t sequence_ = 0;
    std::vector<uint16_t> digits_;
    std::vector<uint8_t> image_;
    std::array<uint8_t, kViewPaletteBytes> palette_{};

    FrameMailbox* mailbox_ = nullptr;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace zelir_cli
