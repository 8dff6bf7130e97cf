// Calibration, bad-point and arithmetic-switch exports.
#include "api/handle_table.h"

using namespace zelir;

namespace {

// The stream of a handle in the table; the functions documented with only a null check also
// consult the table, so a foreign pointer is never dereferenced.
CStreamBase* TableStream(ZelIrHandle handle) {
    return StreamOf(TableCheck(handle));
}

CStreamBase* OpenStream(ZelIrHandle handle) {
    return StreamOf(OpenCheck(handle));
}

}  // namespace

ZELIR_API int32_t ZelIr_Calibrate(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        if (CStreamBase* stream = StreamOf(TypeCheck(handle, kHandleCamera))) stream->Calibrate();
        return 0;
    });
}

ZELIR_API int32_t ZelIr_SoftCalibrate(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        if (CStreamBase* stream = StreamOf(TypeCheck(handle, kHandleCamera)))
            stream->SoftCalibrate();
        return 0;
    });
}

ZELIR_API int32_t ZelIr_CalibrateP1(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        if (stream == nullptr) return 0;
        stream->RequestLowPoint();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_CalibrateP2(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        if (stream == nullptr) return 0;
        stream->RequestHighPoint();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_CalibrateReset(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        if (stream == nullptr) return 0;
        stream->ResetTwoPT();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_CalibrateSetCurrChan(ZelIrHandle handle, int32_t channel) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        return stream != nullptr && stream->SetCurrChan(channel) ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_CalibrateGetCurrChan(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        return stream != nullptr ? stream->GetCurrChan() : -1;
    });
}

ZELIR_API int32_t ZelIr_ReadDataCalcK(ZelIrHandle handle, const wchar_t* lowFile,
                                      const wchar_t* highFile) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        if (stream == nullptr) return 0;
        stream->ReadRawDataCalcK(lowFile, highFile);
        return 1;
    });
}

ZELIR_API void ZelIr_SetDevieceBpImage(ZelIrHandle handle, const uint16_t* image) {
    OnHandle(handle, [&] {
        if (CStreamBase* stream = TableStream(handle)) stream->SetArithBpImage(image);
    });
}

ZELIR_API uint16_t* ZelIr_GetDevieceBpImage(ZelIrHandle handle) {
    return OnHandle<uint16_t*>(handle, nullptr, [&]() -> uint16_t* {
        CStreamBase* stream = TableStream(handle);
        return stream != nullptr ? stream->GetArithBpImage() : nullptr;
    });
}

ZELIR_API int32_t ZelIr_EnableSaveBP(ZelIrHandle handle, uint32_t flag) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypeCheck(handle, {kHandleCamera, kHandleMovie});
        if (manager == nullptr) return 0;
        manager->saveBadPoints = flag;
        return 1;
    });
}

ZELIR_API int32_t ZelIr_DebugGet(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = OpenStream(handle);
        return stream != nullptr ? static_cast<int32_t>(stream->GetArithEnabled()) : 0;
    });
}

ZELIR_API int32_t ZelIr_DebugSet(ZelIrHandle handle, int32_t flag) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = OpenStream(handle);
        if (stream == nullptr) return 0;
        stream->SetArithEnabled(static_cast<uint32_t>(flag));
        return 1;
    });
}

ZELIR_API void ZelIr_DebugGetPara(ZelIrHandle handle, int16_t* para) {
    OnHandle(handle, [&] {
        CStreamBase* stream = OpenStream(handle);
        if (stream != nullptr && para != nullptr) stream->GetArithPara(para);
    });
}

ZELIR_API int32_t ZelIr_DebugSetPara(ZelIrHandle handle, const int16_t* para) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = OpenStream(handle);
        return stream != nullptr && para != nullptr && stream->SetArithPara(para) ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_SetArithType(ZelIrHandle handle, int32_t type) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        return stream != nullptr ? stream->SetArithType(type) : 0;
    });
}

ZELIR_API int32_t ZelIr_GetCurrArithType(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = TableStream(handle);
        return stream != nullptr ? stream->GetCurrArithType() : -1;
    });
}
