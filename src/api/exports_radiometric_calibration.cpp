// Blackbody calibration: references from the live (or played) frames, then the fit.
#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "api/handle_table.h"
#include "api/radiometry_storage.h"
#include "base/debug_output.h"
#include "playback/file_stream.h"
#include "radiometry/radiometric_fit.h"
#include "radiometry/response_curve.h"

using namespace zelir;

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kMaxReferenceFrames = 1000;
constexpr auto kFrameWait = std::chrono::seconds(2);
constexpr auto kPoll = std::chrono::milliseconds(2);

// Makes the next frame the current one: a camera's next new frame (told apart by its frame
// id), a movie's next frame, an image's only frame.
bool NextFrame(CIRDeviceManager* manager) {
    if (!IsCameraStreamType(StreamTypeOf(manager))) {
        if (CFileStream* movie = manager->Movie()) movie->StepForNewFrame();
        return manager->FetchNewFrame(0);
    }
    const uint32_t previous = manager->ParameterBlock()->frameId;
    const auto deadline = Clock::now() + kFrameWait;
    while (Clock::now() < deadline) {
        if (manager->FetchNewFrame(0) && manager->ParameterBlock()->frameId != previous)
            return true;
        std::this_thread::sleep_for(kPoll);
    }
    return false;
}

}  // namespace

ZELIR_API int32_t ZelIr_AddBlackbodyReference(ZelIrHandle handle, float celsius, uint32_t frames) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypedCheck(handle);
        if (manager == nullptr || StreamOf(manager) == nullptr || frames < 1 ||
            frames > kMaxReferenceFrames || !std::isfinite(celsius) ||
            celsius <= -radiometry::kZeroCelsius) {
            return 0;
        }
        return Guarded(0, [&] {
            radiometry::CentreMean mean;
            const ZelIrParameterBlock* block = manager->ParameterBlock();
            while (mean.Frames() < frames) {
                if (!NextFrame(manager) || manager->GetPixelKind() != 0) return 0;
                const auto* digits = reinterpret_cast<const uint16_t*>(manager->GetDigitArray());
                const size_t pixels = size_t{block->width} * block->height;
                mean.Add({digits, pixels}, block->width, block->height);
            }
            manager->Radiometry().AddReference({celsius, mean.Mean()});
            return 1;
        });
    });
}

ZELIR_API int32_t ZelIr_FitRadiometry(ZelIrHandle handle, ZelIrRadiometry* constants) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        return Guarded(0, [&] {
            std::string reason;
            const auto fit = radiometry::FitResponse(manager->Radiometry().References(), reason);
            if (!fit) {
                odprintf("radiometric fit failed: %s\n", reason.c_str());
                return 0;
            }
            if (manager->Radiometry().SetConstants(fit->constants) != Status::kOk) return 0;
            KeepCameraRadiometry(manager);
            if (constants != nullptr) *constants = fit->constants;
            return 1;
        });
    });
}

ZELIR_API int32_t ZelIr_ClearBlackbodyReferences(ZelIrHandle handle) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TableCheck(handle);
        if (manager == nullptr) return 0;
        manager->Radiometry().ClearReferences();
        return 1;
    });
}
