// Raw movie recording from any source: a 64-byte header, then the frames as they are fetched.
#include <cstdio>
#include <ctime>
#include <mutex>

#include "api/base_library/string_conversion.h"
#include "api/base_library/timer.h"
#include "stream/stream_base.h"

namespace {

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace

int32_t CStreamBase::StartRecording(const wchar_t* path) {
    if (recording_ != 0) StopRecording();
    movieHeader_ = {};
    recording_ = 0;
    if (path == nullptr) return -1;
    FILE* file = std::fopen(zelir::WideToUtf8(path).c_str(), "wb");
    if (file == nullptr) return -1;
    movieHeader_ = zelir::files::MakeMovieStartHeader(GetSourceTag(), LocalTimeNow());
    std::fwrite(&movieHeader_, sizeof(movieHeader_), 1, file);
    std::lock_guard<std::recursive_mutex> guard(lock_);
    recordFile_ = file;
    recordStartTime_ = zelir::TickCountMs();
    recordedFrames_ = 0;
    recording_ = 1;
    return 0;
}

int32_t CStreamBase::StopRecording() {
    if (recording_ == 0) return 0;
    std::lock_guard<std::recursive_mutex> guard(lock_);
    recording_ = 0;
    zelir::files::FinishMovieHeader(movieHeader_, LocalTimeNow(), recordedFrames_,
                                    zelir::TickCountMs() - recordStartTime_, width_, height_);
    if (recordFile_ != nullptr) {
        std::fseek(recordFile_, 0, SEEK_SET);
        std::fwrite(&movieHeader_, sizeof(movieHeader_), 1, recordFile_);
        std::fclose(recordFile_);
        recordFile_ = nullptr;
    }
    return 0;
}
