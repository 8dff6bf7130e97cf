// The camera's acknowledged transfers: they need its channel and address, so they live here
// rather than in the stream base.
#include "gige/block_transfer.h"
#include "gige/gnet_device.h"

uint32_t CGNetDevice::TransmitArray(const uint8_t* data, uint32_t length, uint32_t type) {
    if (!channel_ || Commands() == nullptr) return 0;
    return zelir::gige::TransmitArray(*Commands(), {channel_.get(), Endpoint()}, data, length, type,
                                      {progressCallback_, progressContext_});
}

uint16_t CGNetDevice::UpgradeFirmware(uint32_t value, uint32_t target) {
    if (!channel_ || Commands() == nullptr) return zelir::gige::kTransactFailed;
    return zelir::gige::ProgramFlash(*Commands(), {channel_.get(), Endpoint()}, value, target,
                                     {progressCallback_, progressContext_});
}
