// Movie playback, movie recording and image saving exports.
#include "api/handle_table.h"
#include "files/file_stream.h"

using namespace zelir;

namespace {

// The movie stream of a movie handle, or null.
CFileStream* Movie(ZelIrHandle handle) {
    CIRDeviceManager* manager = TypeCheck(handle, kHandleMovie);
    if (StreamTypeOf(manager) != kStreamMovie) return nullptr;
    return dynamic_cast<CFileStream*>(StreamOf(manager));
}

CStreamBase* MovieStream(ZelIrHandle handle) {
    return StreamOf(TypeCheck(handle, kHandleMovie));
}

CIRDeviceManager* Recordable(ZelIrHandle handle) {
    return TypeCheck(handle, {kHandleCamera, kHandleMovie});
}

}  // namespace

ZELIR_API int32_t ZelIr_MovieForward(ZelIrHandle handle, uint32_t frames) {
    CFileStream* movie = Movie(handle);
    if (movie == nullptr) return 0;
    movie->Forward(frames);
    return 1;
}

ZELIR_API int32_t ZelIr_MovieBackward(ZelIrHandle handle, uint32_t frames) {
    CFileStream* movie = Movie(handle);
    if (movie == nullptr) return 0;
    movie->Backward(frames);
    return 1;
}

ZELIR_API uint32_t ZelIr_MovieGetPosi(ZelIrHandle handle) {
    CFileStream* movie = Movie(handle);
    return movie != nullptr ? movie->Position() : 0;
}

ZELIR_API uint32_t ZelIr_MovieGetTotalFrm(ZelIrHandle handle) {
    CFileStream* movie = Movie(handle);
    return movie != nullptr ? movie->TotalFrames() : 0;
}

ZELIR_API uint32_t ZelIr_MovieGetWholeFrm(ZelIrHandle handle) {
    CFileStream* movie = Movie(handle);
    return movie != nullptr ? movie->WholeFrames() : 0;
}

ZELIR_API int32_t ZelIr_MovieGoto(ZelIrHandle handle, uint32_t position) {
    CFileStream* movie = Movie(handle);
    if (movie == nullptr || position > INT32_MAX) return 0;
    return movie->Goto(static_cast<int32_t>(position));
}

ZELIR_API int32_t ZelIr_MoviePause(ZelIrHandle handle, uint32_t paused) {
    CStreamBase* stream = MovieStream(handle);
    if (stream == nullptr) return 0;
    stream->SetPause(paused);
    return 1;
}

ZELIR_API uint32_t ZelIr_MovieIsPause(ZelIrHandle handle) {
    CStreamBase* stream = MovieStream(handle);
    return stream != nullptr ? stream->IsPaused() : 0;
}

ZELIR_API int32_t ZelIr_SetCyclePlay(ZelIrHandle handle, uint32_t loop) {
    CStreamBase* stream = MovieStream(handle);
    if (stream == nullptr) return 0;
    stream->SetLoopPlay(loop);
    return 1;
}

ZELIR_API uint32_t ZelIr_IsCyclePlay(ZelIrHandle handle) {
    CStreamBase* stream = MovieStream(handle);
    return stream != nullptr ? stream->LoopPlay() : 0;
}

ZELIR_API int32_t ZelIr_StartRecordMovie(ZelIrHandle handle, const wchar_t* path) {
    CIRDeviceManager* manager = Recordable(handle);
    if (manager == nullptr) return 0;
    CStreamBase* stream = StreamOf(manager);
    return stream != nullptr ? stream->StartRecording(path) : 1;
}

ZELIR_API int32_t ZelIr_StopRecordMovie(ZelIrHandle handle) {
    if (CStreamBase* stream = StreamOf(Recordable(handle))) stream->StopRecording();
    return 0;
}

ZELIR_API int32_t ZelIr_IsRecordingMovie(ZelIrHandle handle) {
    CStreamBase* stream = StreamOf(Recordable(handle));
    return stream != nullptr ? static_cast<int32_t>(stream->IsRecording()) : 0;
}

ZELIR_API int32_t ZelIr_SaveCurrImage(ZelIrHandle handle, const wchar_t* path) {
    CStreamBase* stream = StreamOf(TableCheck(handle));
    return stream != nullptr ? stream->SaveCurrentImage(path, true) : 0;
}

ZELIR_API int32_t ZelIr_SaveCurrImageAsBmp(ZelIrHandle handle, const wchar_t* path) {
    CStreamBase* stream = StreamOf(TableCheck(handle));
    return stream != nullptr ? stream->SaveCurrentImageAsBmp(path) : 0;
}

ZELIR_API int32_t ZelIr_SaveCurrImageV1D7(ZelIrHandle handle, const wchar_t* path,
                                          const BITMAPINFOHEADER* info, const RGBQUAD* palette,
                                          const uint8_t* pixels) {
    constexpr uint16_t kCallerImageLineSize = 7;
    CStreamBase* stream = StreamOf(TableCheck(handle));
    return stream != nullptr
               ? stream->SaveCallerImage(path, info, palette, pixels, kCallerImageLineSize)
               : 0;
}
