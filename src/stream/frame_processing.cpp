// Per-frame processing shared by every source: the calibration step, correction to 16-bit
// values and adoption of the camera's parameter line.
#include <span>

#include "formats/parameter_line.h"
#include "stream/stream_base.h"

namespace {

constexpr uint32_t kStateIdle = 0;
constexpr uint32_t kStateOneFrame = 1;
constexpr uint32_t kStateLowPoint = 5;
constexpr uint32_t kStateHighPoint = 6;

}  // namespace

void CStreamBase::CalibrationStep(uint8_t* frame) {
    if (calibrationRequest_ == kRequestLowPoint) {
        calibrationState_ = kStateLowPoint;
        calibrationCountdown_ = 1;
        calibrationRequest_ = 0;
    } else if (calibrationRequest_ == kRequestHighPoint) {
        calibrationState_ = kStateHighPoint;
        calibrationCountdown_ = 1;
        calibrationRequest_ = 0;
    }
    auto* pixels = reinterpret_cast<unsigned short*>(frame + dataOffset_);
    switch (calibrationState_) {
        case kStateOneFrame:
            if (calibrationCountdown_ > 0) --calibrationCountdown_;
            if (calibrationCountdown_ == 0) calibrationState_ = kStateIdle;
            break;
        case kStateLowPoint:
            if (calibrationCountdown_ > 0) --calibrationCountdown_;
            arith_.SetLData(pixels, static_cast<int>(1 - calibrationCountdown_));
            if (calibrationCountdown_ == 0) {
                arith_.GetLData(0, true);
                calibrationState_ = kStateIdle;
            }
            break;
        case kStateHighPoint:
            if (calibrationCountdown_ > 0) --calibrationCountdown_;
            arith_.SetHData(pixels, static_cast<int>(1 - calibrationCountdown_));
            if (calibrationCountdown_ == 0) {
                arith_.GetHData();
                arith_.CalcK();
                calibrationState_ = kStateIdle;
            }
            break;
        default:
            break;
    }
}

void CStreamBase::GenerateY16(uint8_t* frame, int width, int height) {
    arith_.GenY16(reinterpret_cast<unsigned short*>(frame + dataOffset_), width, height,
                  arithOn_ != 0);
}

bool CStreamBase::AdoptParameterLine(const uint8_t* line) {
    const std::span<const uint8_t> bytes(line, zelir::files::kParameterLineBytes);
    if (!zelir::files::HasValidMarkers(bytes)) return false;
    hasParameterLine_ = 1;
    if (imaging_ != nullptr) zelir::files::AdoptParameterLine(*imaging_->ParameterBlock(), bytes);
    return true;
}
