// Manager operations that forward camera transfers to the stream.
#include "device/device_manager.h"
#include "gige/block_transfer.h"

int32_t CIRDeviceManager::TransmitBadPoints(const int16_t* map) {
    return stream_ != nullptr ? zelir::gige::TransmitBadPoints(*stream_, map) : 0;
}

int32_t CIRDeviceManager::TransmitBuffer(const uint8_t* data, uint32_t size, uint32_t type) {
    return stream_ != nullptr ? zelir::gige::TransmitBuffer(*stream_, data, size, type) : 0;
}
