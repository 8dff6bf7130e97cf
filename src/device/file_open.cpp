#include <memory>

#include "device/device_manager.h"
#include "playback/file_stream.h"

bool CIRDeviceManager::FileOpen(const wchar_t* path) {
    auto stream = std::make_unique<CFileStream>(path);
    SetUpDataDirectory();
    stream->Attach(this, &recorder_);
    if (stream->Open() == 0) return false;
    movie_ = stream->StreamTypeCode() == kStreamMovie ? stream.get() : nullptr;
    handleType_ = movie_ != nullptr ? kHandleMovie : kHandleImage;
    AdoptStream(std::move(stream));
    return true;
}
