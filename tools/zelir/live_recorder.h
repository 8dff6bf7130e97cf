// Lossless recording of a live camera: the frame callback copies every frame the SDK completes
// into a bounded queue, a writer thread appends them to the movie and its companion. Nothing
// is fetched by polling, so no frame is taken twice or passed over. The camera's handle must be
// closed before the recorder goes (a late callback may still be on its way in).
#pragma once

#include <zelir/zelir.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "frame_queue.h"
#include "recording_companion.h"

namespace zelir_cli {

struct RecordLimits {
    std::optional<uint64_t> frames;
    std::optional<double> seconds;
};

struct RecordSummary {
    uint64_t received = 0;       // frames the SDK completed while recording
    uint64_t written = 0;        // frames in the movie
    uint64_t lostBeforeSdk = 0;  // gaps in the frame ids: frames that never reached the SDK
    uint64_t overflows = 0;      // frames that found the queue full
    uint64_t otherSize = 0;      // frames of another geometry (windowed), not written
    uint64_t writeFailures = 0;  // frames the disk did not take
    double seconds = 0;
    double writerCpuSeconds = 0;
    bool interrupted = false;  // a stop signal ended the recording
    bool stalled = false;      // the camera stopped delivering frames
};

class LiveRecorder {
  public:
    LiveRecorder(ZelIrHandle camera, ZelIrMovieWriter* movie, CompanionWriter& companion,
                 size_t frameBytes, RecordLimits limits);
    // Records until a limit, a stop signal or a stall; `onProgress(frames, seconds)` runs on
    // this thread a few times a second.
    template <typename Progress>
    RecordSummary Run(Progress&& onProgress) {
        Start();
        while (!Wait()) onProgress(received_.load(), Elapsed());
        return Finish();
    }

  private:
    static int OnFrame(uint8_t* frame, FrameInfo* info, void* context);
    void Take(std::span<const uint8_t> digits, std::span<const uint8_t> line);
    void WriteAll();
    void Start();
    bool Wait();  // true once recording should end
    RecordSummary Finish();
    double Elapsed() const;

    using Clock = std::chrono::steady_clock;
    ZelIrHandle camera_;
    ZelIrMovieWriter* movie_;
    CompanionWriter& companion_;
    FrameQueue queue_;
    RecordLimits limits_;
    Clock::time_point start_;
    std::thread writer_;
    std::atomic<bool> accepting_{true};
    std::atomic<int> inCallback_{0};
    std::atomic<bool> full_{false};
    std::atomic<uint64_t> received_{0};
    std::atomic<int64_t> lastArrivalNs_{0};
    // Receive thread only.
    std::optional<uint32_t> lastId_;
    uint64_t lost_ = 0;
    // Writer thread only, read after it joined.
    uint64_t written_ = 0;
    uint64_t writeFailures_ = 0;
    double writerCpu_ = 0;
    RecordSummary summary_;
};

}  // namespace zelir_cli
