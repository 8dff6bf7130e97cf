// Exports for tools built on the library: display choices by name, what a file holds, and a
// movie written from frames the application queued itself (lossless recording from the frame
// callback).
#include <algorithm>
#include <memory>

#include "api/handle_table.h"
#include "api/radiometry_storage.h"
#include "base/guarded_call.h"
#include "base/string_conversion.h"
#include "device/movie_recorder.h"
#include "imaging/display_choices.h"
#include "playback/file_stream.h"

using namespace zelir;

struct ZelIrMovieWriter {
    MovieRecorder recorder;
};

ZELIR_API int32_t ZelIr_GetDisplayChoices(uint32_t kind, ZelIrChoice* entries, int32_t capacity) {
    if (kind != ZELIR_CHOICES_PALETTES && kind != ZELIR_CHOICES_BRIGHT_CONTRAST) return -1;
    const auto list =
        DisplayChoices(kind == ZELIR_CHOICES_PALETTES ? DisplayChoiceList::kPalettes
                                                      : DisplayChoiceList::kBrightContrastTypes);
    if (entries != nullptr && capacity > 0) {
        std::copy_n(list.begin(), std::min<size_t>(list.size(), size_t(capacity)), entries);
    }
    return static_cast<int32_t>(list.size());
}

ZELIR_API int32_t ZelIr_HasRecordedParameterLine(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypedCheck(handle);
        if (manager == nullptr) return 0;
        if (manager->Movie() != nullptr) return manager->Movie()->LineFromFile() ? 1 : 0;
        const CStreamBase* stream = StreamOf(manager);
        return stream != nullptr && stream->ReceivedParameterLine() ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_MovieGetFacts(ZelIrHandle handle, ZelIrMovieFacts* facts) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypeCheck(handle, kHandleMovie);
        if (manager == nullptr || manager->Movie() == nullptr || facts == nullptr) return 0;
        return manager->Movie()->MovieFacts(*facts) ? 1 : 0;
    });
}

ZELIR_API ZelIrMovieWriter* ZelIr_MovieWriterOpen(ZelIrHandle source, const wchar_t* path) {
    return OnHandle(source, static_cast<ZelIrMovieWriter*>(nullptr), [&]() -> ZelIrMovieWriter* {
        CIRDeviceManager* manager = TypeCheck(source, {kHandleCamera, kHandleMovie});
        CStreamBase* stream = StreamOf(manager);
        if (stream == nullptr || path == nullptr) return nullptr;
        auto writer = std::make_unique<ZelIrMovieWriter>();
        if (writer->recorder.Start(WideToUtf8(path), stream->GetSourceTag(), stream->GetWidth(),
                                   stream->GetHeight()) != Status::kOk) {
            return nullptr;
        }
        WriteCompanion(manager, path);
        return writer.release();
    });
}

ZELIR_API int32_t ZelIr_MovieWriterAppend(ZelIrMovieWriter* writer, const void* frame,
                                          uint32_t bytes) {
    if (writer == nullptr || frame == nullptr) return 0;
    return Guarded(int32_t{0}, [&]() -> int32_t {
        const std::span<const uint8_t> data(static_cast<const uint8_t*>(frame), bytes);
        return writer->recorder.AppendFrame(data) == files::FileResult::kOk ? 1 : 0;
    });
}

ZELIR_API int32_t ZelIr_MovieWriterClose(ZelIrMovieWriter* writer) {
    if (writer == nullptr) return 0;
    const std::unique_ptr<ZelIrMovieWriter> owned(writer);
    return Guarded(int32_t{0}, [&]() -> int32_t {
        return owned->recorder.Finish() == files::FileResult::kOk ? 1 : 0;
    });
}
