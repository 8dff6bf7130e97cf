#include "device/device_manager.h"

#include "base/debug_output.h"
#include "base/string_conversion.h"
#include "gige/gnet_device.h"
#include "imaging/data_folders.h"
#include "playback/file_stream.h"

CIRDeviceManager::CIRDeviceManager() = default;

CIRDeviceManager::~CIRDeviceManager() {
    zelir::FreeDeviceList();
    StreamClose();
}

void CIRDeviceManager::StreamClose() {
    if (!stream_ || stream_->IsOpen() == 0) return;
    // Closing while recording finishes the movie, so it keeps its frame count and geometry.
    recorder_.Stop();
    const ZelIrParameterBlock copy = parameterBlock_;
    SaveParameters(copy, dataDirectory_.c_str());
    stream_->Close();
    camera_ = nullptr;
    movie_ = nullptr;
    stream_.reset();
}

void CIRDeviceManager::AdoptStream(std::unique_ptr<CStreamBase> stream) {
    stream_ = std::move(stream);
    stream_->Attach(this, &recorder_);
    stream_->SetSaveDirectory(dataDirectory_.c_str());
}

void CIRDeviceManager::SyncWithSource() {
    if (camera_ != nullptr && camera_->CallbackMode() != 0) camera_->AdoptPublishedLine();
}

int32_t CIRDeviceManager::MapToY8(const uint16_t* source, uint8_t* destination, int32_t noFlip,
                                  HISTOGRAM_INFO* record) {
    if (!stream_) return 0;
    return CIRManager::MapToY8(stream_->Arith(), stream_->GetArithEnabled() != 0, source,
                               destination, noFlip, record);
}

zelir::Status CIRDeviceManager::StartRecording(const wchar_t* path) {
    if (!stream_ || path == nullptr) {
        recorder_.Stop();
        return stream_ ? zelir::Status::kInvalidArgument : zelir::Status::kNotOpen;
    }
    return recorder_.Start(zelir::WideToUtf8(path), stream_->GetSourceTag(), stream_->GetWidth(),
                           stream_->GetHeight());
}

void CIRDeviceManager::StopRecording() {
    recorder_.Stop();
}

void CIRDeviceManager::MovieForward(uint32_t frames) {
    if (movie_ != nullptr && movie_->Forward(frames)) RefreshFrame();
}

void CIRDeviceManager::MovieBackward(uint32_t frames) {
    if (movie_ != nullptr && movie_->Backward(frames)) RefreshFrame();
}

void CIRDeviceManager::RefreshFrame() {
    const uint32_t paused = stream_->IsPaused();
    stream_->SetPause(0);
    FetchNewFrame(0);
    stream_->SetPause(paused);
}

void CIRDeviceManager::SetUpDataDirectory() {
    const zelir::ChosenFolder data = zelir::ChooseDataFolder(moduleDirectory_);
    dataDirectory_ = data.path;
    odtprintf(L"data folder %ls (%ls)\n", data.path.c_str(), data.rule);
    const zelir::ChosenFolder palettes = zelir::ChoosePaletteFolder(moduleDirectory_);
    odtprintf(L"palette folder %ls (%ls)\n", palettes.path.c_str(), palettes.rule);
}
