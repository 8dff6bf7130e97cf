// Movie playback, movie recording and image saving exports.
#include "api/c_results.h"
#include "api/handle_table.h"
#include "api/radiometry_storage.h"
#include "playback/file_stream.h"

using namespace zelir;

namespace {

// The movie stream of a movie handle, or null.
CFileStream* Movie(ZelIrHandle handle) {
    CIRDeviceManager* manager = TypeCheck(handle, kHandleMovie);
    return manager != nullptr ? manager->Movie() : nullptr;
}

CStreamBase* MovieStream(ZelIrHandle handle) {
    return StreamOf(TypeCheck(handle, kHandleMovie));
}

CIRDeviceManager* Recordable(ZelIrHandle handle) {
    return TypeCheck(handle, {kHandleCamera, kHandleMovie});
}

}  // namespace

ZELIR_API int32_t ZelIr_MovieForward(ZelIrHandle handle, uint32_t frames) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypeCheck(handle, kHandleMovie);
        if (manager == nullptr || manager->Movie() == nullptr) return 0;
        manager->MovieForward(frames);
        return 1;
    });
}

ZELIR_API int32_t ZelIr_MovieBackward(ZelIrHandle handle, uint32_t frames) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypeCheck(handle, kHandleMovie);
        if (manager == nullptr || manager->Movie() == nullptr) return 0;
        manager->MovieBackward(frames);
        return 1;
    });
}

ZELIR_API uint32_t ZelIr_MovieGetPosi(ZelIrHandle handle) {
    return OnHandle(handle, uint32_t{0}, [&]() -> uint32_t {
        CFileStream* movie = Movie(handle);
        return movie != nullptr ? movie->Position() : 0;
    });
}

ZELIR_API uint32_t ZelIr_MovieGetTotalFrm(ZelIrHandle handle) {
    return OnHandle(handle, uint32_t{0}, [&]() -> uint32_t {
        CFileStream* movie = Movie(handle);
        return movie != nullptr ? movie->TotalFrames() : 0;
    });
}

ZELIR_API uint32_t ZelIr_MovieGetWholeFrm(ZelIrHandle handle) {
    return OnHandle(handle, uint32_t{0}, [&]() -> uint32_t {
        CFileStream* movie = Movie(handle);
        return movie != nullptr ? movie->WholeFrames() : 0;
    });
}

ZELIR_API int32_t ZelIr_MovieGoto(ZelIrHandle handle, uint32_t position) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CFileStream* movie = Movie(handle);
        if (movie == nullptr || position > INT32_MAX) return 0;
        return movie->Goto(static_cast<int32_t>(position));
    });
}

ZELIR_API int32_t ZelIr_MoviePause(ZelIrHandle handle, uint32_t paused) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = MovieStream(handle);
        if (stream == nullptr) return 0;
        stream->SetPause(paused);
        return 1;
    });
}

ZELIR_API uint32_t ZelIr_MovieIsPause(ZelIrHandle handle) {
    return OnHandle(handle, uint32_t{0}, [&]() -> uint32_t {
        CStreamBase* stream = MovieStream(handle);
        return stream != nullptr ? stream->IsPaused() : 0;
    });
}

ZELIR_API int32_t ZelIr_SetCyclePlay(ZelIrHandle handle, uint32_t loop) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CStreamBase* stream = MovieStream(handle);
        if (stream == nullptr) return 0;
        stream->SetLoopPlay(loop);
        return 1;
    });
}

ZELIR_API uint32_t ZelIr_IsCyclePlay(ZelIrHandle handle) {
    return OnHandle(handle, uint32_t{0}, [&]() -> uint32_t {
        CStreamBase* stream = MovieStream(handle);
        return stream != nullptr ? stream->LoopPlay() : 0;
    });
}

ZELIR_API int32_t ZelIr_StartRecordMovie(ZelIrHandle handle, const wchar_t* path) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = Recordable(handle);
        if (manager == nullptr) return 0;
        if (StreamOf(manager) == nullptr) return 1;
        const Status started = manager->StartRecording(path);
        if (started == Status::kOk) WriteCompanion(manager, path);
        return ZeroOrMinusOne(started);
    });
}

ZELIR_API int32_t ZelIr_StopRecordMovie(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = Recordable(handle);
        if (StreamOf(manager) != nullptr) manager->StopRecording();
        return 0;
    });
}

ZELIR_API int32_t ZelIr_IsRecordingMovie(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = Recordable(handle);
        return StreamOf(manager) != nullptr && manager->IsRecording() ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_SaveCurrImage(ZelIrHandle handle, const wchar_t* path) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        const Status saved = manager->SaveCurrentImage(path, true);
        if (saved == Status::kOk) WriteCompanion(manager, path);
        return OneOrZero(saved);
    });
}

ZELIR_API int32_t ZelIr_SaveCurrImageAsBmp(ZelIrHandle handle, const wchar_t* path) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        return manager != nullptr ? OneOrZero(manager->SaveCurrentImageAsBmp(path)) : 0;
    });
}

ZELIR_API int32_t ZelIr_SaveCurrImageV1D7(ZelIrHandle handle, const wchar_t* path,
                                          const BITMAPINFOHEADER* info, const RGBQUAD* palette,
                                          const uint8_t* pixels) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        constexpr uint16_t kCallerImageLineSize = 7;
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        const Status saved =
            manager->SaveCallerImage(path, info, palette, pixels, kCallerImageLineSize);
        if (saved == Status::kOk) WriteCompanion(manager, path);
        return OneOrZero(saved);
    });
}
