#include "device/device_manager.h"

#include "api/base_library/debug_output.h"
#include "imaging/data_folders.h"
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
    const zelir::ChosenFolder data = zelir::ChooseDataFolder(moduleDirectory_);
    dataDirectory_ = data.path;
    odtprintf(L"data folder %ls (%ls)\n", data.path.c_str(), data.rule);
    const zelir::ChosenFolder palettes = zelir::ChoosePaletteFolder(moduleDirectory_);
    odtprintf(L"palette folder %ls (%ls)\n", palettes.path.c_str(), palettes.rule);
}
