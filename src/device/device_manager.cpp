#include "device/device_manager.h"

#include <filesystem>
#include <system_error>

#include "api/base_library/string_conversion.h"
#include "stream/stream_base.h"

CIRDeviceManager::CIRDeviceManager() = default;

CIRDeviceManager::~CIRDeviceManager() {
    zelir::FreeDeviceList();
    StreamClose();
}

void CIRDeviceManager::StreamClose() {
    if (!stream_ || stream_->IsOpen() == 0) return;
    // Closing while recording finishes the movie, so it keeps its frame count and geometry.
    stream_->StopRecording();
    const ZelIrParameterBlock copy = parameterBlock_;
    SaveParameters(copy, dataDirectory_.c_str());
    stream_->Close();
    stream_.reset();
}

void CIRDeviceManager::SetUpDataDirectory() {
    dataDirectory_ = moduleDirectory_ + L"_TempData/";
    std::error_code ignored;  // a directory that cannot be made only costs para.ini and the mask
    std::filesystem::create_directories(zelir::WideToUtf8(dataDirectory_), ignored);
}
