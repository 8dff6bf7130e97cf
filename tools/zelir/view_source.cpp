#include "view_source.h"

#include <ctime>

#include "cli_args.h"

namespace zelir_cli {

namespace {

using std::chrono::steady_clock;

constexpr uint32_t kCameraHandle = 1;
constexpr uint32_t kMovieHandle = 2;
constexpr uint32_t kBytePixels = 1;  // digit array kind of an 8-bit camera
constexpr double kDefaultMovieRate = 25.0;
// Long enough to measure a camera's frame interval to a fraction of a percent.
constexpr auto kLockSpan = std::chrono::milliseconds(500);
constexpr auto kCameraRetry = std::chrono::milliseconds(10);
constexpr auto kPollStep = std::chrono::milliseconds(2);
constexpr auto kIdle = std::chrono::hours(1);

SourceKind KindOf(ZelIrHandle handle) {
    switch (ZelIr_GetHandleType(handle)) {
        case kCameraHandle:
            return SourceKind::kCamera;
        case kMovieHandle:
            return SourceKind::kMovie;
        default:
            return SourceKind::kImage;
    }
}

double WallClockMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// zelir-view-20260101-120000.irm in `dir`, with a counter when that name is taken.
std::filesystem::path RecordingPath(const std::filesystem::path& dir) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", &local);
    std::filesystem::path path = dir / (std::string("zelir-view-") + stamp + ".irm");
    for (int i = 2; std::filesystem::exists(path); ++i) {
        path = dir / (std::string("zelir-view-") + stamp + "-" + std::to_string(i) + ".irm");
    }
    return path;
}

}  // namespace

ViewSource::ViewSource(ZelIrHandle handle, double movieRate, std::filesystem::path recordDir)
    : handle_(handle), kind_(KindOf(handle)), recordDir_(std::move(recordDir)) {
    ZelIr_GetDigitArrayPara(handle_, &width_, &height_);
    const size_t pixels = size_t{width_} * height_;
    digits_.resize(pixels);
    image_.resize(pixels);
    if (kind_ == SourceKind::kMovie) {
        const double rate = movieRate > 0.0 ? movieRate : ZelIr_GETDeviceFPS(handle_);
        movieInterval_ = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(1.0 / (rate > 0.0 ? rate : kDefaultMovieRate)));
    }
}

ViewSource::~ViewSource() {
    Stop();
}

bool ViewSource::Start(FrameMailbox& mailbox, std::string& error) {
    if (digits_.empty()) {
        error = "the source has no frame size";
        return false;
    }
    mailbox_ = &mailbox;
    if (kind_ == SourceKind::kCamera) {
        sampler_.emplace(handle_);
        if (!sampler_->Lock(kLockSpan)) {
            error = "no frames from the camera";
            return false;
        }
        lastFrameId_ = ZelIr_GetFrameID(handle_);
        lastArrival_ = Clock::now();
    } else if (ZelIr_GetNewArray(handle_) != 1) {
        error = "cannot read a frame";
        return false;
    }
    nextMovieFrame_ = Clock::now() + movieInterval_;
    {
        std::lock_guard lock(mutex_);
        PublishCurrent(true);
    }
    thread_ = std::thread([this] { Run(); });
    return true;
}

void ViewSource::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (kind_ == SourceKind::kCamera && ZelIr_IsRecordingMovie(handle_) == 1) {
        ZelIr_StopRecordMovie(handle_);
    }
}

void ViewSource::Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        const bool fresh = FetchIfDue();
        if (fresh || dirty_) PublishCurrent(fresh);
        wake_.wait_until(lock, NextWake(), [this] { return stop_ || dirty_; });
    }
}

bool ViewSource::FetchIfDue() {
    const Clock::time_point now = Clock::now();
    if (kind_ == SourceKind::kCamera) return FetchCameraIfDue(now);
    if (kind_ != SourceKind::kMovie || paused_ || now < nextMovieFrame_) return false;
    // Steady pacing; after a stall (a busy machine) playback goes on from now, without a burst.
    nextMovieFrame_ += movieInterval_;
    if (nextMovieFrame_ < now) nextMovieFrame_ = now + movieInterval_;
    return ZelIr_GetNewArray(handle_) == 1;
}

// Every fetch of a recording camera is a frame of the movie, so while recording the camera is
// sampled once per frame interval, as `zelir record` does. Otherwise it is polled from half an
// interval after each frame until the next one is there: that misses no frame when the
// machine is busy, and shows each frame within a few milliseconds of its arrival.
bool ViewSource::FetchCameraIfDue(Clock::time_point now) {
    if (now < NextWake()) return false;
    const bool fetched = recording_ ? sampler_->FetchNow() : ZelIr_GetNewArray(handle_) == 1;
    if (!fetched) {
        nextPoll_ = now + kCameraRetry;
        return false;
    }
    const uint32_t id = ZelIr_GetFrameID(handle_);
    if (id == lastFrameId_) {
        nextPoll_ = now + kPollStep;
        return false;
    }
    lastFrameId_ = id;
    lastArrival_ = now;
    nextPoll_ = now + std::chrono::duration_cast<Clock::duration>(
                          std::chrono::duration<double>(0.5 / sampler_->FramesPerSecond()));
    return true;
}

Clock::time_point ViewSource::NextWake() const {
    if (kind_ == SourceKind::kCamera) return recording_ ? sampler_->Due() : nextPoll_;
    if (kind_ == SourceKind::kMovie && !paused_) return nextMovieFrame_;
    return Clock::now() + kIdle;
}

void ViewSource::PublishCurrent(bool fresh) {
    dirty_ = false;
    if (fresh) rate_.Add(Clock::now());
    ViewFrameHeader header{};
    header.publishedMs = WallClockMs();
    uint32_t kind = 0;
    ZelIr_GetDigitArray(handle_, digits_.data(), &kind);
    ZelIr_DigitArrayToBmp(handle_, digits_.data(), image_.data(), 0, 1, nullptr);
    if (kind == kBytePixels) {
        // An 8-bit camera fills the first half with bytes: widen them in place, last first.
        const auto* bytes = reinterpret_cast<const uint8_t*>(digits_.data());
        for (size_t i = digits_.size(); i-- > 0;) digits_[i] = bytes[i];
    }
    header.sequence = ++sequence_;
    header.frameId = ZelIr_GetFrameID(handle_);
    header.width = width_;
    header.height = height_;
    ZelIr_GetCurrMinAndMaxDigitVal(handle_, &header.minDigit, &header.maxDigit);
    header.sourceRate = kind_ == SourceKind::kImage || paused_ ? 0.0f : rate_.PerSecond();
    header.palette = ZelIr_GetCurrPalette(handle_, palette_.data());
    header.displayType = ZelIr_GetBrihgtContrastType(handle_);
    header.brightness = ZelIr_GetCurrBright(handle_);
    header.contrast = ZelIr_GetCurrContrast(handle_);
    header.frameCount = 1;
    if (kind_ == SourceKind::kCamera) {
        header.flags |= kViewCamera;
        if (ZelIr_IsRecordingMovie(handle_) == 1) header.flags |= kViewRecording;
    } else if (kind_ == SourceKind::kMovie) {
        header.flags |= kViewMovie | (paused_ ? kViewPaused : 0u);
        header.position = ZelIr_MovieGetPosi(handle_);
        header.frameCount = ZelIr_MovieGetTotalFrm(handle_);
    }
    mailbox_->Publish(PackViewFrame(header, palette_, image_, digits_));
}

std::string ViewSource::Apply(const ViewControl& control, std::string& detail) {
    std::lock_guard lock(mutex_);
    const bool movie = kind_ == SourceKind::kMovie;
    const auto value = static_cast<int32_t>(control.value);
    std::string refused;
    switch (control.action) {
        case ViewAction::kPalette:
            ZelIr_SetPalette(handle_, static_cast<uint32_t>(value), nullptr);
            break;
        case ViewAction::kDisplayType:
            ZelIr_SetBrihgtContrastType(handle_, value);
            break;
        case ViewAction::kBrightness:
            ZelIr_SetCurrBright(handle_, value);
            break;
        case ViewAction::kContrast:
            ZelIr_SetCurrContrast(handle_, value);
            break;
        case ViewAction::kRecordStart:
            refused = StartRecording(detail);
            break;
        case ViewAction::kRecordStop:
            if (ZelIr_IsRecordingMovie(handle_) != 1)
                refused = "not recording";
            else
                ZelIr_StopRecordMovie(handle_);
            break;
        case ViewAction::kPlay:
        case ViewAction::kPause:
            if (!movie) return "only a movie plays and pauses";
            paused_ = control.action == ViewAction::kPause;
            ZelIr_MoviePause(handle_, paused_ ? 1 : 0);
            nextMovieFrame_ = Clock::now() + movieInterval_;
            break;
        case ViewAction::kSeek:
            refused = Seek(control.value);
            break;
    }
    if (refused.empty()) dirty_ = true;
    wake_.notify_all();
    return refused;
}

std::string ViewSource::Seek(int64_t position) {
    if (kind_ != SourceKind::kMovie) return "only a movie seeks";
    const uint32_t total = ZelIr_MovieGetTotalFrm(handle_);
    if (position >= total) return "the movie has " + std::to_string(total) + " frames";
    // Goto reaches 1..total-1 only; frame 0 is reached by stepping back. Forward by 0 then
    // fetches the frame at the new position.
    if (position == 0) {
        ZelIr_MovieBackward(handle_, ZelIr_MovieGetPosi(handle_));
    } else if (ZelIr_MovieGoto(handle_, static_cast<uint32_t>(position)) != 1) {
        return "cannot go to frame " + std::to_string(position);
    }
    ZelIr_MovieForward(handle_, 0);
    return {};
}

std::string ViewSource::StartRecording(std::string& detail) {
    if (kind_ != SourceKind::kCamera) return "only a camera records";
    if (ZelIr_IsRecordingMovie(handle_) == 1) return "already recording";
    const std::filesystem::path path = RecordingPath(recordDir_);
    if (ZelIr_StartRecordMovie(handle_, Wide(path.string()).c_str()) != 0) {
        return "cannot write " + path.string();
    }
    detail = path.string();
    recording_ = true;
    sampler_->Resume(lastArrival_);
    return {};
}

}  // namespace zelir_cli
