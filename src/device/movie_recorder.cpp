#include "device/movie_recorder.h"

#include <ctime>

#include "base/timer.h"

namespace zelir {
namespace {

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace

MovieRecorder::~MovieRecorder() {
    // A movie still recording when its source goes away is finished, so it stays readable.
    Stop();
}

Status MovieRecorder::Start(const std::filesystem::path& path, const char* sourceTag,
                            uint16_t width, uint16_t height) {
    std::lock_guard<std::mutex> guard(mutex_);
    StopLocked();
    UniqueFile file(std::fopen(path.c_str(), "wb"));
    if (!file) return Status::kCannotOpen;
    header_ = files::MakeMovieStartHeader(sourceTag, LocalTimeNow());
    if (std::fwrite(&header_, sizeof(header_), 1, file.get()) != 1) {
        file.reset();
        std::remove(path.c_str());
        return Status::kIoError;
    }
    file_ = std::move(file);
    startTime_ = TickCountMs();
    frames_ = 0;
    width_ = width;
    height_ = height;
    return Status::kOk;
}

void MovieRecorder::Stop() {
    std::lock_guard<std::mutex> guard(mutex_);
    StopLocked();
}

bool MovieRecorder::IsRecording() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return file_ != nullptr;
}

void MovieRecorder::StopLocked() {
    if (!file_) return;
    files::FinishMovieHeader(header_, LocalTimeNow(), frames_, TickCountMs() - startTime_, width_,
                             height_);
    std::fseek(file_.get(), 0, SEEK_SET);
    std::fwrite(&header_, sizeof(header_), 1, file_.get());
    file_.reset();
}

uint32_t MovieRecorder::WriteFrame(const void* header, uint32_t headerLength, const void* data,
                                   uint32_t dataLength) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!file_) return frames_;
    if (headerLength > 0 && header != nullptr) std::fwrite(header, 1, headerLength, file_.get());
    if (dataLength > 0 && data != nullptr) std::fwrite(data, 1, dataLength, file_.get());
    return ++frames_;
}

}  // namespace zelir
