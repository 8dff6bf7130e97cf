#include "device/device_manager.h"

#include "stream/stream_base.h"

CIRDeviceManager::CIRDeviceManager() = default;

CIRDeviceManager::~CIRDeviceManager() {
    zelir::FreeDeviceList();
    StreamClose();
}

void CIRDeviceManager::StreamClose() {
    if (!stream_ || stream_->IsOpen() == 0) return;
    const ZelIrParameterBlock copy = parameterBlock_;
    SaveParameters(copy, dataDirectory_.c_str());
    stream_->Close();
    stream_.reset();
}
