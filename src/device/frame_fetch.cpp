// Frame acquisition: the newest frame of the stream becomes the digit array.
#include <algorithm>

#include "device/device_manager.h"
#include "stream/stream_base.h"

namespace {

bool FrameKindFromRecord(uint32_t handleType) {
    return handleType == kHandleCamera || handleType == kHandleMovie;
}

}  // namespace

bool CIRDeviceManager::FetchNewFrame(uint32_t direct) {
    if (handleType_ == kHandleImage) {
        if (stream_) stream_->GetFrame(0);
        return true;
    }
    if (!stream_) return false;
    FrameRecord* frame = stream_->GetFrame(direct);
    if (frame == nullptr) return false;
    const uint32_t code = stream_->StreamTypeCode();
    if (IsCameraStreamType(code) || code == kStreamMovie) {
        // The frame buffer bounds what can be recorded, whatever the block claims.
        const uint32_t dataLength =
            std::min<uint32_t>(uint32_t{parameterBlock_.width} * 2 * parameterBlock_.height,
                               kFrameBufferBytes - stream_->GetDataOffset());
        stream_->WriteRecordFrame(frame->data.get(), stream_->GetDataOffset(), frame->data.get(),
                                  dataLength);
    }
    return true;
}

uint8_t* CIRDeviceManager::GetDigitArray() {
    return stream_ ? stream_->GetFrameRecord()->data.get() : nullptr;
}

uint32_t CIRDeviceManager::GetDigitDataLength() {
    const uint32_t length = stream_ && FrameKindFromRecord(handleType_)
                                ? stream_->GetFrameRecord()->imageBytes
                                : uint32_t{parameterBlock_.width} * parameterBlock_.height * 2;
    return std::min(length, kFrameBufferBytes);
}

uint32_t CIRDeviceManager::GetPixelKind() {
    return stream_ && FrameKindFromRecord(handleType_) ? stream_->GetFrameRecord()->pixelKind : 0;
}

uint32_t CIRDeviceManager::GetBytesPerPixel() {
    return stream_ && FrameKindFromRecord(handleType_) ? stream_->GetFrameRecord()->bytesPerPixel
                                                       : 2;
}
