// Stream reception options, counters and the camera's stream state.
#include "api/handle_table.h"
#include "gige/gnet_device.h"

using namespace zelir;

namespace {

uint32_t StateCode(gige::StreamState state) {
    switch (state) {
        case gige::StreamState::Waiting:
            return ZELIR_STREAM_WAITING;
        case gige::StreamState::Receiving:
            return ZELIR_STREAM_RECEIVING;
        case gige::StreamState::Lost:
            return ZELIR_STREAM_LOST;
    }
    return ZELIR_STREAM_LOST;
}

}  // namespace

ZELIR_API int32_t ZelIr_GetStreamStats(ZelIrHandle handle, ZelIrStreamStats* stats) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        CIRDeviceManager* manager = TypeCheck(handle, kHandleCamera);
        if (manager == nullptr || stats == nullptr || manager->Camera() == nullptr) return 0;
        const CGNetDevice& camera = *manager->Camera();
        const gige::StreamCounters counters = camera.Counters();
        *stats = ZelIrStreamStats{counters.framesCompleted,   counters.framesDroppedIncomplete,
                                  counters.packetsOutOfOrder, counters.packetsRepeated,
                                  StateCode(camera.State()),  0};
        return 1;
    });
}

ZELIR_API int32_t ZelIr_SetStreamOptions(ZelIrHandle handle, uint32_t options) {
    return OnHandle(handle, int32_t{0}, [&]() -> int32_t {
        constexpr uint32_t kKnown = ZELIR_STREAM_ANY_ORDER | ZELIR_STREAM_REPORT_LOST;
        CIRDeviceManager* manager = TypeCheck(handle, kHandleCamera);
        if (manager == nullptr || manager->Camera() == nullptr || (options & ~kKnown) != 0) {
            return 0;
        }
        manager->Camera()->SetStreamOptions(options);
        return 1;
    });
}
