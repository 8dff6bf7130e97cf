#include "live_recorder.h"

#include <time.h>

#include <thread>

#include "parameter_line.h"
#include "stop_signals.h"

namespace zelir_cli {
namespace {

constexpr size_t kQueueSlots = 48;  // 1.5 s at 30 frames/s, 31 MB at 640 x 512
constexpr auto kPoll = std::chrono::milliseconds(50);
constexpr auto kStall = std::chrono::seconds(2);
constexpr auto kSettle = std::chrono::milliseconds(5);

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

LiveRecorder::LiveRecorder(ZelIrHandle camera, ZelIrMovieWriter* movie, CompanionWriter& companion,
                           size_t frameBytes, RecordLimits limits)
    : camera_(camera),
      movie_(movie),
      companion_(companion),
      queue_(kQueueSlots, frameBytes),
      limits_(limits) {}

int LiveRecorder::OnFrame(uint8_t* frame, FrameInfo* info, void* context) {
    auto* self = static_cast<LiveRecorder*>(context);
    self->inCallback_.fetch_add(1);
    // The parameter line follows the image bytes.
    if (self->accepting_.load()) {
        self->Take({frame, info->byteCount}, {frame + info->byteCount, kLineBytes});
    }
    self->inCallback_.fetch_sub(1);
    return 0;
}

void LiveRecorder::Take(std::span<const uint8_t> digits, std::span<const uint8_t> line) {
    if (full_.load(std::memory_order_relaxed)) return;
    const auto now = Clock::now();
    lastArrivalNs_.store((now - start_).count(), std::memory_order_relaxed);
    const bool valid = IsValidLine(line);
    if (valid) {
        const uint32_t id = FieldsOf(line).frameId;
        if (lastId_ && id > *lastId_ + 1) lost_ += id - *lastId_ - 1;
        lastId_ = id;
    }
    queue_.Push(digits, valid ? line : std::span<const uint8_t>{},
                std::chrono::duration<double>(now - start_).count());
    const uint64_t received = received_.fetch_add(1, std::memory_order_relaxed) + 1;
    if (limits_.frames && received >= *limits_.frames) full_.store(true);
}

void LiveRecorder::WriteAll() {
    const double cpuStart = ThreadCpuSeconds();
    while (const QueuedFrame* frame = queue_.Front()) {
        const auto bytes = static_cast<uint32_t>(frame->digits.size());
        if (ZelIr_MovieWriterAppend(movie_, frame->digits.data(), bytes) == 1 &&
            companion_.Append(*frame)) {
            ++written_;
        } else {
            ++writeFailures_;
        }
        queue_.Release();
    }
    writerCpu_ = ThreadCpuSeconds() - cpuStart;
}

double LiveRecorder::Elapsed() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}

void LiveRecorder::Start() {
    start_ = Clock::now();
    writer_ = std::thread([this] { WriteAll(); });
    ZelIr_SetCallBackFun(camera_, OnFrame, this);
}

bool LiveRecorder::Wait() {
    std::this_thread::sleep_for(kPoll);
    summary_.interrupted = StopSignals::Requested();
    const auto sinceLast =
        Clock::now() - (start_ + Clock::duration(lastArrivalNs_.load(std::memory_order_relaxed)));
    summary_.stalled = sinceLast > kStall;
    const bool timeUp = limits_.seconds && Elapsed() >= *limits_.seconds;
    return summary_.interrupted || summary_.stalled || full_.load() || timeUp;
}

RecordSummary LiveRecorder::Finish() {
    accepting_.store(false);
    ZelIr_SetCallBackFun(camera_, nullptr, nullptr);
    // A delivery that had already read the callback is let through before the queue closes.
    std::this_thread::sleep_for(kSettle);
    while (inCallback_.load() != 0) std::this_thread::sleep_for(kSettle);
    summary_.seconds = Elapsed();
    queue_.Close();
    writer_.join();
    summary_.received = received_.load();
    summary_.written = written_;
    summary_.lostBeforeSdk = lost_;
    summary_.overflows = queue_.Overflows();
    summary_.otherSize = queue_.WrongSize();
    summary_.writeFailures = writeFailures_;
    summary_.writerCpuSeconds = writerCpu_;
    return summary_;
}

}  // namespace zelir_cli
