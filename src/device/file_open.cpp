#include <memory>

#include "device/device_manager.h"
#include "files/file_stream.h"

bool CIRDeviceManager::FileOpen(const wchar_t* path) {
    auto stream = std::make_unique<CFileStream>(path);
    stream->AttachOwner(this);
    SetUpDataDirectory();
    if (stream->Open() == 0) return false;
    stream_ = std::move(stream);
    stream_->AttachOwner(this);
    stream_->SetSaveDirectory(dataDirectory_.c_str());
    handleType_ = stream_->StreamTypeCode() == kStreamMovie ? 2 : 3;
    return true;
}
