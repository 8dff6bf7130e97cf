// Frame and digit-array exports.
#include <algorithm>
#include <cstring>

#include "api/handle_table.h"
#include "base/string_conversion.h"
#include "playback/file_stream.h"

using namespace zelir;

namespace {

constexpr float kDefaultFrameRate = 25.0f;
constexpr size_t kConnectionPathRoom = 256;

bool IsMovieStream(const CIRDeviceManager* manager) {
    return StreamTypeOf(manager) == kStreamMovie;
}

// A new-frame request on a movie first moves the play position one frame on.
void StepMovie(CIRDeviceManager* manager) {
    if (CFileStream* movie = manager->Movie()) movie->StepForNewFrame();
}

bool IsFileStreamType(uint32_t code) {
    return code == kStreamMovie || code == kStreamCombinedImage || code == kStreamRawImage;
}

}  // namespace

ZELIR_API int32_t ZelIr_GetNewArray(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypedCheck(handle);
        if (manager == nullptr) return 0;
        const uint32_t code = StreamTypeOf(manager);
        if (!IsCameraStreamType(code) && !IsFileStreamType(code)) return 0;
        if (IsMovieStream(manager)) StepMovie(manager);
        return manager->FetchNewFrame(0) ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_GetNewArrayDirect(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypedCheck(handle);
        if (manager == nullptr) return 0;
        if (IsCameraStreamType(StreamTypeOf(manager))) {
            manager->FetchNewFrame(1);
            return 1;
        }
        if (IsFileStreamType(StreamTypeOf(manager))) {
            if (IsMovieStream(manager)) StepMovie(manager);
            manager->FetchNewFrame(0);
        }
        return 0;
    });
}

ZELIR_API int32_t ZelIr_GetDigitArray(ZelIrHandle handle, uint16_t* digits, uint32_t* kind) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        const uint8_t* array = manager->GetDigitArray();
        if (digits != nullptr && array != nullptr) {
            std::memcpy(digits, array, manager->GetDigitDataLength());
        }
        if (kind != nullptr) *kind = manager->GetPixelKind();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_GetDigitArrayPara(ZelIrHandle handle, uint32_t* width, uint32_t* height) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        if (width != nullptr) *width = manager->ParameterBlock()->width;
        if (height != nullptr) *height = manager->ParameterBlock()->height;
        return 1;
    });
}

ZELIR_API double ZelIr_GetDigitVal(ZelIrHandle handle, int16_t x, int16_t y) {
    return OnHandle(handle, 0.0, [&]() -> double {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0.0;
        const ZelIrParameterBlock* block = manager->ParameterBlock();
        const uint8_t* array = manager->GetDigitArray();
        if (array == nullptr || x < 0 || y < 0 || x >= block->width || y >= block->height)
            return 0.0;
        const size_t index = size_t(y) * block->width + size_t(x);
        const uint32_t kind = manager->GetPixelKind();
        if (kind == 0 && index * 2 + 2 <= kFrameBufferBytes) {
            uint16_t value;
            std::memcpy(&value, array + index * 2, sizeof(value));
            return value;
        }
        if (kind == 1 && index < kFrameBufferBytes) return array[index];
        return 0.0;
    });
}

ZELIR_API void ZelIr_GetCurrMinAndMaxDigitVal(ZelIrHandle handle, uint32_t* min, uint32_t* max) {
    OnHandle(handle, [&] {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return;
        const uint32_t kind = manager->GetPixelKind();
        if (kind > 1) return;
        const ZelIrParameterBlock* block = manager->ParameterBlock();
        if (min != nullptr) *min = kind == 0 ? block->minDigit : 0;
        if (max != nullptr) *max = kind == 0 ? block->maxDigit : 255;
    });
}

ZELIR_API uint32_t ZelIr_GetFrameID(ZelIrHandle handle) {
    return OnHandle(handle, uint32_t{0}, [&]() -> uint32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        return manager != nullptr ? manager->ParameterBlock()->frameId : 0;
    });
}

ZELIR_API uint32_t ZelIr_GetFrames(void) {
    return 0;
}

ZELIR_API float ZelIr_GETDeviceFPS(ZelIrHandle handle) {
    return OnHandle(handle, float{0}, [&]() -> float {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr || manager->HandleType() == kHandleImage) return kDefaultFrameRate;
        CStreamBase* stream = StreamOf(manager);
        return stream != nullptr ? stream->GetFrameRate() : kDefaultFrameRate;
    });
}

ZELIR_API int32_t ZelIr_GetDeviceIRIParam(ZelIrHandle handle, void** block) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr || block == nullptr) return 0;
        *block = manager->ParameterBlock();
        return 1;
    });
}

ZELIR_API int32_t ZelIr_GetDeviceConPath(ZelIrHandle handle, wchar_t* out) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr || out == nullptr) return 0;
        const std::wstring& directory = manager->DataDirectory();
        const size_t length = std::min(directory.size(), kConnectionPathRoom - 1);
        std::wmemcpy(out, directory.c_str(), length);
        out[length] = L'\0';
        return 1;
    });
}
