// Display mapping: a digit array becomes an 8-bit image by the chosen grey-level algorithm.
#include <cstring>

#include "arith/zelir_arith.h"
#include "formats/frame_limits.h"
#include "imaging/display_settings.h"
#include "imaging/display_type.h"
#include "imaging/ir_manager.h"

namespace {

// Runs the algorithm of a brightness/contrast type; types n and n + 10 are the same.
// Unknown types leave the destination as it was.
void RunAlgorithm(ZelIrArith& arith, ZelIrParameterBlock& block, HISTOGRAM_INFO* record,
                  const uint16_t* src, uint8_t* dst, int w, int h) {
    const int type =
        block.bcType >= kDisplayTypeAlias ? block.bcType - kDisplayTypeAlias : block.bcType;
    // The block is the application's to write: a value the int cannot hold is never converted.
    const int contrast = static_cast<int>(zelir::UsableDisplaySetting(block.contrast));
    const int brightness = static_cast<int>(zelir::UsableDisplaySetting(block.brightness));
    switch (type) {
        case kDisplayAutoLinear:
            block.contrast = 50.0f;
            block.brightness = 50.0f;
            arith.AutoLinearMap(src, dst, w, h, record, block.kthr);
            break;
        case kDisplayManualLinear:
            arith.ManualLinearMap(src, dst, w, h, record, block.kthr, block.contrast,
                                  block.brightness);
            break;
        case kDisplayClahe:
            arith.ContrastLimitedAdaptiveHistogramEquazition(src, dst, contrast, brightness, w, h);
            break;
        case kDisplayPlateau:
            arith.RangeLimitedHistogramEqualization(src, dst, record->limit1, record->limit2, w, h);
            break;
        case kDisplayMixed:
            arith.MixedMap(src, dst, contrast, brightness, w, h);
            break;
        case kDisplayRetinex:
            arith.MSREnhancement(src, dst, contrast, brightness, w, h);
            break;
        case kDisplayBilateral:
            arith.BilateralFilterEnhancement(src, dst, contrast, brightness, w, h);
            break;
        default:
            break;
    }
}

}  // namespace

int32_t CIRManager::MapToY8(ZelIrArith& arith, bool arithOn, const uint16_t* source,
                            uint8_t* destination, int32_t noFlip, HISTOGRAM_INFO* record) {
    // Frames never exceed the frame buffer's size, so a block claiming more is refused rather
    // than read past.
    const int w = parameterBlock_.width;
    const int h = parameterBlock_.height;
    if (source == nullptr || destination == nullptr) return 0;
    if (w <= 0 || h <= 0 || static_cast<uint32_t>(w) > kMaxFrameWidth ||
        static_cast<uint32_t>(h) > kMaxFrameHeight) {
        return 0;
    }
    HISTOGRAM_INFO* own = histogramRecord_.get();
    if (record != nullptr) {
        std::memcpy(own, record, sizeof(HISTOGRAM_INFO));
        parameterBlock_.bottomCut = static_cast<int16_t>(own->bottomCut);
        parameterBlock_.topCut = static_cast<int16_t>(own->topCut);
    } else {
        own->topCut = parameterBlock_.topCut;
        own->bottomCut = parameterBlock_.bottomCut;
    }
    arith.HistogramStatistics(source, destination, w, h, own);
    parameterBlock_.limit2 = own->limit2;
    parameterBlock_.limit1 = own->limit1;
    parameterBlock_.minDigit = own->minDigit;
    parameterBlock_.maxDigit = own->maxDigit;
    if (record != nullptr) std::memcpy(record, own, sizeof(HISTOGRAM_INFO));

    RunAlgorithm(arith, parameterBlock_, own, source, destination, w, h);
    arith.PostprocessY8(destination, destination, w, h, arithOn);
    if (noFlip == 0) arith.FlipImage(destination, w, h, 1);
    return 1;
}
