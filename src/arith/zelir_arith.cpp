// ZelIrArith: settings, correction and the dispatch to the mapping algorithms.
#include "zelir_arith.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "arith_state.h"
#include "base/debug_output.h"
#include "base/string_conversion.h"
#include "coefficient_file.h"
#include "equalization_maps.h"
#include "frame_geometry.h"
#include "image_flip.h"
#include "linear_map.h"
#include "mapping_input.h"
#include "raw_frame_file.h"
#include "y8_filters.h"

using namespace zelir::arith;

namespace {

constexpr std::array<short, ZelIrArith::kParaCount> kDefaultPara{25, 20, 0, 1, 50, 40, 50, 100, 25};

// Accepted range of each parameter; reserved entries must be 0.
bool IsValidPara(int index, short value) {
    switch (index) {
        case ZelIrArith::kParaGainTolerance:
        case ZelIrArith::kParaResponseFloor:
            return value >= 1 && value <= 100;
        case ZelIrArith::kParaSaturation:
            return true;  // read as unsigned
        case ZelIrArith::kParaPostprocess:
            return value >= 0 && value <= 2;
        case ZelIrArith::kParaSharpenAmount:
            return value >= 0 && value <= 200;
        case ZelIrArith::kParaClaheClip:
            return value >= 10 && value <= 400;
        case ZelIrArith::kParaMixShare:
            return value >= 0 && value <= 100;
        case ZelIrArith::kParaRetinexGain:
            return value >= 0 && value <= 400;
        case ZelIrArith::kParaDetailGain:
            return value >= 0 && value <= 100;
        default:
            return value == 0;
    }
}

// Bad pixels are those of the bad-point image and those the calibration found.
void RebuildBadPixelRepair(ZelIrArith::State& s) {
    MakeFixedCorrection(s.correction, s.fixedCorrection, s.calibrationBad);
    std::vector<std::uint8_t> mask(s.Pixels(), 0);
    for (std::size_t i = 0; i < mask.size(); ++i) {
        mask[i] = (!s.badPointImage.empty() && s.badPointImage[i] != 0) ||
                  (!s.calibrationBad.empty() && s.calibrationBad[i] != 0);
    }
    s.repair.Build(mask, s.width, s.height);
}

std::string ChannelFile(const ZelIrArith::State& s) {
    return CoefficientFilePath(s.dataDirectory, s.serial, s.channel);
}

// The current channel's saved set, or the identity.
void LoadChannel(ZelIrArith::State& s) {
    s.correction.Clear();
    s.calibrationBad.clear();
    CoefficientSet set;
    if (s.width > 0 && LoadCoefficients(ChannelFile(s), s.serial, s.channel, s.width, s.height,
                                        set) == zelir::Status::kOk) {
        s.correction = std::move(set.tables);
        s.calibrationBad = std::move(set.badMask);
    }
    RebuildBadPixelRepair(s);
}

BadPixelCriteria CriteriaFrom(const std::array<short, ZelIrArith::kParaCount>& para) {
    BadPixelCriteria criteria;
    criteria.gainTolerance = para[ZelIrArith::kParaGainTolerance] / 100.0;
    criteria.responseFloor = para[ZelIrArith::kParaResponseFloor] / 100.0;
    const auto saturation = static_cast<std::uint16_t>(para[ZelIrArith::kParaSaturation]);
    criteria.saturation = saturation == 0 ? 65535.0 : saturation;
    return criteria;
}

}  // namespace

ZelIrArith::ZelIrArith() : state_(new State) {
    state_->para = kDefaultPara;
}

ZelIrArith::~ZelIrArith() {
    delete state_;
}

void ZelIrArith::Init(int w, int h, const wchar_t* dataDirectory, const wchar_t* serial) {
    State& s = *state_;
    s.dataDirectory = zelir::WideToUtf8(dataDirectory);
    s.serial = zelir::WideToUtf8(serial);
    s.correction.Clear();
    s.calibrationBad.clear();
    s.badPointImage.clear();
    s.repair.Clear();
    if (!IsSupportedFrame(w, h)) {
        s.width = s.height = 0;
        return;
    }
    s.width = w;
    s.height = h;
    s.badPointImage.assign(s.Pixels(), 0);
    s.low.Resize(s.Pixels());
    s.high.Resize(s.Pixels());
    s.lowReady = s.highReady = false;
    LoadChannel(s);
}

void ZelIrArith::GenY16(unsigned short* frame, int w, int h, bool arithOn) {
    State& s = *state_;
    if (!arithOn || !frame || !IsSupportedFrame(w, h) || w != s.width || h != s.height) return;
    std::span<std::uint16_t> pixels(frame, PixelCount(w, h));
    if (s.arithType != kTypeBadPixelsOnly) ApplyGainOffset(pixels, s.fixedCorrection);
    s.repair.Apply(pixels);
}

void ZelIrArith::SetArith(bool on) {
    state_->arithOn = on;
}

bool ZelIrArith::SetArithPara(const short* para) {
    if (!para) return false;
    for (int i = 0; i < kParaCount; ++i) {
        if (!IsValidPara(i, para[i])) return false;
    }
    std::copy(para, para + kParaCount, state_->para.begin());
    return true;
}

void ZelIrArith::GetArithPara(short* para) const {
    if (para) std::copy(state_->para.begin(), state_->para.end(), para);
}

void ZelIrArith::SetArithType(int type) {
    state_->arithType = type;
}

int ZelIrArith::GetCurrArithType() const {
    return state_->arithType;
}

void ZelIrArith::SetArithBpImage(const unsigned short* image) {
    State& s = *state_;
    if (s.badPointImage.empty()) return;
    if (image) {
        std::copy(image, image + s.Pixels(), s.badPointImage.begin());
    } else {
        std::fill(s.badPointImage.begin(), s.badPointImage.end(), 0);
    }
    RebuildBadPixelRepair(s);
}

unsigned short* ZelIrArith::GetArithBpImage() {
    return state_->badPointImage.empty() ? nullptr : state_->badPointImage.data();
}

int ZelIrArith::SetCurrChan(int channel) {
    if (channel < 0 || channel >= kChannelCount) return 0;
    state_->channel = channel;
    LoadChannel(*state_);
    return 1;
}

int ZelIrArith::GetCurrChan() const {
    return state_->channel;
}

void ZelIrArith::ResetTwoPT() {
    State& s = *state_;
    s.correction.Clear();
    s.calibrationBad.clear();
    RebuildBadPixelRepair(s);
    RemoveCoefficients(ChannelFile(s));
}

namespace {

// Flag 1 or below starts a new average; the reference is open again until it is closed.
void AddReference(ZelIrArith::State& s, ReferenceAverage& reference, bool& ready,
                  const unsigned short* frame, int flag) {
    if (!frame || s.width == 0) return;
    if (flag <= 1 || ready) reference.Restart();
    ready = false;
    reference.Add(std::span<const std::uint16_t>(frame, s.Pixels()));
}

}  // namespace

void ZelIrArith::SetLData(const unsigned short* frame, int flag) {
    AddReference(*state_, state_->low, state_->lowReady, frame, flag);
}

// The flag is not needed: `done` closes the average.
bool ZelIrArith::GetLData(int, bool done) {
    State& s = *state_;
    if (done) s.lowReady = s.low.Frames() > 0;
    return s.low.Frames() > 0;
}

void ZelIrArith::SetHData(const unsigned short* frame, int flag) {
    AddReference(*state_, state_->high, state_->highReady, frame, flag);
}

bool ZelIrArith::GetHData() {
    State& s = *state_;
    s.highReady = s.high.Frames() > 0;
    return s.highReady;
}

bool ZelIrArith::CalcK() {
    State& s = *state_;
    if (!s.lowReady || !s.highReady) {
        odprintf("ZelIrArith: calibration needs a low and a high reference\n");
        return false;
    }
    CoefficientSet set;
    const CalibrationResult result =
        ComputeCoefficients(s.low, s.high, CriteriaFrom(s.para), set.tables, set.badMask);
    if (result != CalibrationResult::kDone) {
        odprintf("ZelIrArith: calibration refused: the high reference is not above the low\n");
        return false;
    }
    // A set that cannot be kept still serves until the camera is closed (the save says why).
    (void)SaveCoefficients(ChannelFile(s), s.serial, s.channel, s.width, s.height, set);
    s.correction = std::move(set.tables);
    s.calibrationBad = std::move(set.badMask);
    RebuildBadPixelRepair(s);
    return true;
}

bool ZelIrArith::ReadRawDataCalcK(const wchar_t* lowFile, const wchar_t* highFile) {
    State& s = *state_;
    if (s.width == 0) return false;
    std::vector<std::uint16_t> lowFrame, highFrame;
    if (ReadRawFrame(zelir::WideToUtf8(lowFile), s.width, s.height, lowFrame) !=
            zelir::Status::kOk ||
        ReadRawFrame(zelir::WideToUtf8(highFile), s.width, s.height, highFrame) !=
            zelir::Status::kOk) {
        return false;
    }
    SetLData(lowFrame.data(), 1);
    GetLData(0, true);
    SetHData(highFrame.data(), 1);
    GetHData();
    return CalcK();
}

void ZelIrArith::HistogramStatistics(const unsigned short* src, unsigned char*, int w, int h,
                                     HISTOGRAM_INFO* info) {
    if (!src || !info || !IsSupportedFrame(w, h)) return;
    state_->histogram.Count(std::span<const std::uint16_t>(src, PixelCount(w, h)), w);
    FillHistogramRecord(state_->histogram, *info);
    state_->bottomCut = info->bottomCut;
    state_->topCut = info->topCut;
}

namespace {

// The linear maps work from the caller's record, or from fresh statistics with the display
// defaults (5 per thousand cut at each end) when there is none.
void RunLinearMap(ZelIrArith::State& s, const unsigned short* src, unsigned char* dst, int w, int h,
                  const HISTOGRAM_INFO* info, LinearMapSettings settings) {
    if (!src || !dst || !IsSupportedFrame(w, h)) return;
    const std::span<const std::uint16_t> pixels(src, PixelCount(w, h));
    HISTOGRAM_INFO fresh;
    if (!info) {
        std::memset(&fresh, 0, sizeof(fresh));
        fresh.topCut = fresh.bottomCut = 5;
        s.histogram.Count(pixels, w);
        FillHistogramRecord(s.histogram, fresh);
        info = &fresh;
    }
    LinearMap(*info, settings, pixels, std::span<std::uint8_t>(dst, pixels.size()));
}

}  // namespace

void ZelIrArith::AutoLinearMap(const unsigned short* src, unsigned char* dst, int w, int h,
                               HISTOGRAM_INFO* info, float kthr) {
    RunLinearMap(*state_, src, dst, w, h, info, {kthr, 50.0f, 50.0f});
}

void ZelIrArith::ManualLinearMap(const unsigned short* src, unsigned char* dst, int w, int h,
                                 HISTOGRAM_INFO* info, float kthr, float contrast,
                                 float brightness) {
    RunLinearMap(*state_, src, dst, w, h, info, {kthr, contrast, brightness});
}

namespace {

// Statistics and limits of the frame, then the algorithm. Frames whose limits coincide have
// nothing to map: mid grey (black and white beyond the limits) through the tone curve.
template <typename Algorithm>
bool RunMapping(ZelIrArith::State& s, const unsigned short* src, unsigned char* dst, int w, int h,
                const ToneCurve& tone, Algorithm algorithm) {
    if (!src || !dst || !IsSupportedFrame(w, h)) return false;
    const std::span<const std::uint16_t> pixels(src, PixelCount(w, h));
    const std::span<std::uint8_t> out(dst, pixels.size());
    s.histogram.Count(pixels, w);
    const auto [low, high] = s.histogram.Limits(s.bottomCut, s.topCut);
    if (low == high) {
        const LutRange range{s.histogram.Min(), s.histogram.Max()};
        for (unsigned v = range.first; v <= range.last; ++v) {
            s.lut[v] = tone[v < low ? 0 : v > high ? 255 : 128];
        }
        ApplyLut(pixels, out, s.lut, range);
        return true;
    }
    algorithm(MappingInput{pixels, out, w, h, s.histogram, low, high, s.work, s.lut});
    return true;
}

double ParaValue(const ZelIrArith::State& s, int index, double unit) {
    return s.para[index] / unit;
}

// Speckle threshold of the denoise, in grey levels.
constexpr int kSpeckleThreshold = 24;

}  // namespace

bool ZelIrArith::ContrastLimitedAdaptiveHistogramEquazition(const unsigned short* src,
                                                            unsigned char* dst, int contrast,
                                                            int brightness, int w, int h) {
    const ToneCurve tone = BuildToneCurve(contrast, brightness);
    const double clip = ParaValue(*state_, kParaClaheClip, 10.0);
    return RunMapping(*state_, src, dst, w, h, tone,
                      [&](const MappingInput& in) { ContrastLimitedEqualization(in, clip, tone); });
}

bool ZelIrArith::RangeLimitedHistogramEqualization(const unsigned short* src, unsigned char* dst,
                                                   int limit1, int limit2, int w, int h) {
    State& s = *state_;
    if (!src || !dst || !IsSupportedFrame(w, h)) return false;
    const std::span<const std::uint16_t> pixels(src, PixelCount(w, h));
    s.histogram.Count(pixels, w);
    auto digit = [](int limit) { return static_cast<std::uint16_t>(std::clamp(limit, 0, 65535)); };
    const LutRange range =
        BuildPlateauLut(s.histogram, digit(limit1), digit(limit2), s.work, s.lut);
    ApplyLut(pixels, std::span<std::uint8_t>(dst, pixels.size()), s.lut, range);
    return true;
}

bool ZelIrArith::MixedMap(const unsigned short* src, unsigned char* dst, int contrast,
                          int brightness, int w, int h) {
    const double share = ParaValue(*state_, kParaMixShare, 100.0);
    return RunMapping(
        *state_, src, dst, w, h, BuildToneCurve(contrast, brightness),
        [&](const MappingInput& in) { MixedLinearEqualized(in, share, contrast, brightness); });
}

bool ZelIrArith::MSREnhancement(const unsigned short* src, unsigned char* dst, int contrast,
                                int brightness, int w, int h) {
    const ToneCurve tone = BuildToneCurve(contrast, brightness);
    const double gain = ParaValue(*state_, kParaRetinexGain, 100.0);
    return RunMapping(*state_, src, dst, w, h, tone,
                      [&](const MappingInput& in) { RetinexEnhancement(in, gain, tone); });
}

bool ZelIrArith::BilateralFilterEnhancement(const unsigned short* src, unsigned char* dst,
                                            int contrast, int brightness, int w, int h) {
    const ToneCurve tone = BuildToneCurve(contrast, brightness);
    const double gain = ParaValue(*state_, kParaDetailGain, 10.0);
    return RunMapping(*state_, src, dst, w, h, tone,
                      [&](const MappingInput& in) { BilateralDetailEnhancement(in, gain, tone); });
}

int ZelIrArith::PostprocessY8(const unsigned char* src, unsigned char* dst, int w, int h,
                              bool arithOn) {
    State& s = *state_;
    if (!src || !dst || !IsSupportedFrame(w, h)) return 0;
    const int mode = arithOn ? s.para[kParaPostprocess] : 0;
    if (mode == 1) {
        ImpulseDenoise(src, dst, w, h, kSpeckleThreshold, s.work.rows);
    } else if (mode == 2) {
        Sharpen(src, dst, w, h, s.para[kParaSharpenAmount], s.work.rows);
    } else if (src != dst) {
        std::memmove(dst, src, PixelCount(w, h));
    }
    return 1;
}

void ZelIrArith::FlipImage(void* image, int w, int h, int bytesPerPixel) {
    if (!image || !IsSupportedFrame(w, h) || (bytesPerPixel != 1 && bytesPerPixel != 2)) return;
    FlipRows(static_cast<unsigned char*>(image), static_cast<std::size_t>(w) * bytesPerPixel, h);
}
