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
    writeFailed_ = std::ferror(file_.get()) != 0;
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
    if (std::fwrite(&header_, sizeof(header_), 1, file_.get()) != 1) writeFailed_ = true;
    if (std::fclose(file_.release()) != 0) writeFailed_ = true;
}

uint32_t MovieRecorder::WriteFrame(const void* header, uint32_t headerLength, const void* data,
                                   uint32_t dataLength) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!file_) return frames_;
    if (headerLength > 0 && header != nullptr) std::fwrite(header, 1, headerLength, file_.get());
    if (dataLength > 0 && data != nullptr) std::fwrite(data, 1, dataLength, file_.get());
    return ++frames_;
}

files::FileResult MovieRecorder::AppendFrame(std::span<const uint8_t> frame) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!file_) return files::FileResult::kCannotOpen;
    if (frame.size() != size_t{width_} * height_ * 2) return files::FileResult::kBadInput;
    if (std::fwrite(frame.data(), 1, frame.size(), file_.get()) != frame.size()) {
        writeFailed_ = true;
        return files::FileResult::kWriteFailed;
    }
    ++frames_;
    return files::FileResult::kOk;
}

files::FileResult MovieRecorder::Finish() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!file_) return files::FileResult::kCannotOpen;
    StopLocked();
    return writeFailed_ ? files::FileResult::kWriteFailed : files::FileResult::kOk;
}

}  // namespace zelir
