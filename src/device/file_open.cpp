#include <memory>

#include "base/debug_output.h"
#include "base/string_conversion.h"
#include "device/device_manager.h"
#include "formats/file_result.h"
#include "playback/file_stream.h"

zelir::Status CIRDeviceManager::FileOpen(const wchar_t* path) {
    auto stream = std::make_unique<CFileStream>(path);
    SetUpDataDirectory();
    stream->Attach(this, &recorder_);
    if (stream->Open() == 0) {
        odprintf("cannot open %s: %s\n", zelir::WideToUtf8(path != nullptr ? path : L"").c_str(),
                 zelir::files::FileResultText(stream->OpenResult()));
        return zelir::Status::kCannotOpen;
    }
    movie_ = stream->StreamTypeCode() == kStreamMovie ? stream.get() : nullptr;
    handleType_ = movie_ != nullptr ? kHandleMovie : kHandleImage;
    AdoptStream(std::move(stream));
    return zelir::Status::kOk;
}
