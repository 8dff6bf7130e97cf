// Camera control: raw framed messages and the camera settings.
#include "api/c_results.h"
#include "api/handle_table.h"
#include "gige/camera_settings.h"

using namespace zelir;
using namespace zelir::gige;

namespace {

CStreamBase* CameraStream(ZelIrHandle handle) {
    return StreamOf(TypeCheck(handle, kHandleCamera));
}

// Runs `body` on the camera stream of the handle: 1 when it succeeded, 0 when it failed and for
// any other handle.
template <typename Body>
int32_t OnCamera(ZelIrHandle handle, Body&& body) {
    return OnHandle<int32_t>(handle, 0, [&]() -> int32_t {
        CStreamBase* stream = CameraStream(handle);
        return stream != nullptr ? OneOrZero(body(*stream)) : 0;
    });
}

}  // namespace

ZELIR_API int32_t ZelIr_SendMessage(ZelIrHandle handle, uint16_t id, uint8_t flag, uint32_t value) {
    return OnCamera(handle, [&](CStreamBase& s) { return SendWord(s, id, flag, value); });
}

ZELIR_API int32_t ZelIr_SendMessageEx(ZelIrHandle handle, uint16_t id, uint8_t flag,
                                      const uint8_t* data, uint16_t n) {
    return OnCamera(handle, [&](CStreamBase& s) { return SendFramed(s, id, flag, data, n); });
}

ZELIR_API int32_t ZelIr_SendSeriaPortCmd(ZelIrHandle handle, const uint8_t* bytes,
                                         uint32_t length) {
    return OnCamera(handle, [&](CStreamBase& s) {
        if (bytes == nullptr) return Status::kInvalidArgument;
        return s.SendCommand(bytes, length) ? Status::kOk : Status::kIoError;
    });
}

ZELIR_API int32_t ZelIr_ReceiveSeriaPortCmd(ZelIrHandle handle, uint8_t* destination,
                                            uint32_t* length, uint16_t* id) {
    return OnCamera(handle, [&](CStreamBase& s) {
        // Without a length there is no capacity: nothing is copied. The capacity goes in, the
        // reply's own length comes back.
        uint32_t lengths = length != nullptr && destination != nullptr ? *length : 0;
        const Status received = ReceiveAnswer(s, destination, &lengths, id);
        if (received == Status::kOk && length != nullptr) *length = lengths;
        return received;
    });
}

ZELIR_API int32_t ZelIr_GetFrameFreq(ZelIrHandle handle, float* values) {
    return OnCamera(handle,
                    [&](CStreamBase& s) { return GetTripleSetting(s, kFrameFrequency, values); });
}

ZELIR_API int32_t ZelIr_SetFrameFreq(ZelIrHandle handle, float value) {
    return OnCamera(handle, [&](CStreamBase& s) { return SetFrameFrequency(s, value); });
}

ZELIR_API int32_t ZelIr_GetExposureTime(ZelIrHandle handle, uint32_t* values) {
    return OnCamera(handle,
                    [&](CStreamBase& s) { return GetTripleSetting(s, kExposureTime, values); });
}

ZELIR_API int32_t ZelIr_SetExposureTime(ZelIrHandle handle, uint32_t value) {
    return OnCamera(handle,
                    [&](CStreamBase& s) { return SetWordSetting(s, kExposureTime, value); });
}

#define ZELIR_RAW_SETTING(Name, setting)                                                         \
    ZELIR_API int32_t ZelIr_Get##Name(ZelIrHandle handle, void* out, int32_t* length) {          \
        return OnCamera(handle,                                                                  \
                        [&](CStreamBase& s) { return GetRawSetting(s, setting, out, length); }); \
    }                                                                                            \
    ZELIR_API int32_t ZelIr_Set##Name(ZelIrHandle handle, uint32_t value) {                      \
        return OnCamera(handle,                                                                  \
                        [&](CStreamBase& s) { return SetWordSetting(s, setting, value); });      \
    }

ZELIR_RAW_SETTING(ExposureMode, kExposureMode)
ZELIR_RAW_SETTING(Gain, kGain)
ZELIR_RAW_SETTING(PixelFormat, kPixelFormat)
ZELIR_RAW_SETTING(FlipDir, kFlipDir)
#undef ZELIR_RAW_SETTING

ZELIR_API int32_t ZelIr_GetTriggerMode(ZelIrHandle handle, uint32_t* values, uint32_t* length) {
    return OnCamera(handle, [&](CStreamBase& s) {
        return GetTriggerBit(s, kTriggerMode, kTriggerModeBit, values, length);
    });
}

ZELIR_API int32_t ZelIr_GetTriggerSource(ZelIrHandle handle, uint32_t* values, uint32_t* length) {
    return OnCamera(handle, [&](CStreamBase& s) {
        return GetTriggerBit(s, kTriggerSource, kTriggerSourceBit, values, length);
    });
}

ZELIR_API int32_t ZelIr_SetTriggerMode(ZelIrHandle handle, uint32_t mode) {
    return OnCamera(handle, [&](CStreamBase& s) {
        return SetTriggerBit(s, kTriggerMode, kTriggerModeBit, mode);
    });
}

ZELIR_API int32_t ZelIr_SetTriggerSource(ZelIrHandle handle, uint32_t source) {
    return OnCamera(handle, [&](CStreamBase& s) {
        return SetTriggerBit(s, kTriggerSource, kTriggerSourceBit, source);
    });
}

ZELIR_API int32_t ZelIr_SetSoftTrigger(ZelIrHandle handle) {
    return OnCamera(handle, [&](CStreamBase& s) { return SetSoftTrigger(s); });
}
