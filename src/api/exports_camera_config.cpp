// Camera configuration query and the detector temperature conversion.
#include <array>
#include <cstddef>

#include "api/camera_config.h"
#include "api/handle_table.h"

using namespace zelir;

ZELIR_API int32_t ZelIr_GetCameraConfig(ZelIrHandle handle, CameraConfig* config) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        if (config == nullptr) return 0;
        return Guarded<int32_t>(0, [&]() -> int32_t {
            // Files have no configuration; every other handle meets the command's own checks.
            CIRDeviceManager* manager = TableCheck(handle);
            if (manager != nullptr &&
                (manager->HandleType() == kHandleMovie || manager->HandleType() == kHandleImage))
                return 0;
            if (ZelIr_SendMessage(handle, kConfigQueryId, 1, 0) == 0) return 0;
            std::array<uint8_t, kConfigReplyBytes> reply{};
            uint32_t length = reply.size();
            if (ZelIr_ReceiveSeriaPortCmd(handle, reply.data(), &length, nullptr) == 0) return 0;
            // The model text is read on into the parameter block when its 8 bytes hold no end.
            if (manager == nullptr) return 0;
            const ZelIrParameterBlock* block = manager->ParameterBlock();
            const auto* model =
                reinterpret_cast<const char*>(block) + offsetof(ZelIrParameterBlock, modelText);
            const size_t room =
                sizeof(ZelIrParameterBlock) - offsetof(ZelIrParameterBlock, modelText);
            return FillCameraConfig(reply, model, room, *config) ? 1 : 0;
        });
    });
}

ZELIR_API float ZelIr_640V1_ADtoT(float ad) {
    return static_cast<float>((2135.0 - double{ad} * 2048.0 / 32768.0 * 5.32 / 3.0) / 6.6 + 27.0);
}

ZELIR_API float ZelIr_640V1_TtoAD(float t) {
    const float d = t - 27.0f;
    return static_cast<float>((2135.0 - double{d} * 6.6) * 3.0 / 5.32 * 32768.0 / 2048.0);
}
