// Image arithmetic: non-uniformity correction of raw frames, two-point calibration, bad pixels,
// histogram statistics and the grey-level mappings from 16-bit digit values to 8-bit images.
// One object per stream. Self-contained: depends on nothing else of the library.
//
// Frame sizes: every call that takes w and h accepts 48 <= w <= 1280 and 36 <= h <= 1024 and
// refuses anything else without touching any buffer (bool results false, int results 0).
// Calls never allocate per frame: working buffers are sized at Init (or at the first frame of a
// new size) and reused.
//
// Brightness and contrast (display settings, 0..100, 50 = neutral; values outside are clamped)
// act the same way on every algorithm that takes them, as a last curve on the grey levels:
// contrast c multiplies the distance from mid grey by 4^((c-50)/50) (x0.25 .. x4), brightness b
// adds (b-50) * 2.55 grey levels. Rising contrast always widens the spread of grey levels and
// rising brightness always raises their mean. What each algorithm does before that curve:
//   AutoLinearMap / ManualLinearMap: linear between the record's limits (for the manual map the
//       contrast narrows or widens the span about its middle, which is the same curve).
//   ContrastLimitedAdaptiveHistogramEquazition: local equalisation on tiles of about 80 x 64
//       pixels, clip limit kParaClaheClip (tenths of the mean level count).
//   RangeLimitedHistogramEqualization: plateau equalisation between the two limits it is given
//       (no brightness or contrast).
//   MixedMap: kParaMixShare percent of plateau equalisation blended into the linear map.
//   MSREnhancement: multi-scale retinex (surround scales 3, 12 and 48 pixels) on the log of the
//       scene, detail gain kParaRetinexGain percent.
//   BilateralFilterEnhancement: bilateral base (8 pixels, a tenth of the scene's span)
//       equalised with a plateau, plus the detail times kParaDetailGain tenths.
// The equalising algorithms work between the limits at the cuts of the last HistogramStatistics
// call (5 per thousand at each end before the first), at most 4096 levels between them. Each
// uses the full grey range on a normal scene; a frame whose limits coincide maps to mid grey.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>

class ZelIrArith {
  public:
    // Length of the parameter array of SetArithPara/GetArithPara, in 16-bit values.
    static constexpr int kParaCount = 16;
    // Indices into the parameter array (the others are reserved and must be 0).
    enum Para {
        kParaGainTolerance = 0,  // percent: gain outside 1 +- this marks a bad pixel (1..100, 25)
        kParaResponseFloor = 1,  // percent of the mean high-low response below which a pixel is
                                 // dead (1..100, 20)
        kParaSaturation = 2,     // digit value (as unsigned) at or above which a pixel of the
                                 // high frame counts as saturated (0 = 65535; default 0)
        kParaPostprocess = 3,    // PostprocessY8 with correction on: 0 none, 1 speckle denoise
                                 // (a pixel more than 24 grey levels from its 3x3 median takes
                                 // the median), 2 unsharp sharpen on the 3x3 mean (default 1)
        kParaSharpenAmount = 4,  // sharpen strength in percent (0..200, 50)
        kParaClaheClip = 5,      // CLAHE clip limit in tenths (10..400, 40)
        kParaMixShare = 6,       // MixedMap share of equalisation in percent (0..100, 50)
        kParaRetinexGain = 7,    // MSREnhancement detail gain in percent (0..400, 100)
        kParaDetailGain = 8,     // BilateralFilterEnhancement detail gain in tenths (0..100, 25)
    };
    // Correction types of SetArithType: gain, offset and bad pixels, or bad pixels only.
    // Any other value is kept and reported, and corrects like kTypeGainOffset.
    enum Type { kTypeGainOffset = 0, kTypeBadPixelsOnly = 1 };
    // Calibration channels 0 .. kChannelCount-1.
    static constexpr int kChannelCount = 8;

    ZelIrArith();
    ~ZelIrArith();
    ZelIrArith(const ZelIrArith&) = delete;
    ZelIrArith& operator=(const ZelIrArith&) = delete;

    // Called at every open with the frame size, the data directory and the camera's serial text.
    // Loads the current channel's coefficient set saved for this serial, if any.
    void Init(int w, int h, const wchar_t* dataDirectory, const wchar_t* serial);

    // Corrects a frame in place when `arithOn`; leaves it unchanged otherwise, and also when the
    // frame is not of the size given to Init.
    void GenY16(unsigned short* frame, int w, int h, bool arithOn);
    void SetArith(bool on);
    // Copies kParaCount values; false (nothing changed) for null or an out-of-range value.
    bool SetArithPara(const short* para);
    void GetArithPara(short* para) const;
    void SetArithType(int type);
    int GetCurrArithType() const;
    // Bad-point image: Init's w x h values, non-zero marks a bad pixel. The image is copied; null
    // clears it. GetArithBpImage returns the held copy (null before Init).
    void SetArithBpImage(const unsigned short* image);
    unsigned short* GetArithBpImage();
    // 1 when the channel (0..kChannelCount-1) is selected, 0 otherwise. Selecting a channel loads
    // its saved coefficient set, or the identity when none is saved.
    int SetCurrChan(int channel);
    int GetCurrChan() const;
    // Back to the identity (gain 1, offset 0, no bad pixels found by calibration) and forgets the
    // current channel's saved set. The bad-point image of SetArithBpImage stays.
    void ResetTwoPT();

    // Two-point calibration: low and high reference frames of Init's size. Each Set*Data call
    // adds one frame to the average; flag 1 (or below) starts a new average.
    void SetLData(const unsigned short* frame, int flag);
    bool GetLData(int flag, bool done);
    void SetHData(const unsigned short* frame, int flag);
    bool GetHData();
    // Gain and offset per pixel from the two references, normalised to the frame means; bad
    // pixels found; the set is saved for the current channel. False when a reference is missing.
    bool CalcK();
    // As CalcK, with the references read from two raw image files.
    bool ReadRawDataCalcK(const wchar_t* lowFile, const wchar_t* highFile);

    // Grey-level mapping. The record's minimum, maximum and limits are filled by
    // HistogramStatistics (limits at the bottom and top cuts, per thousand of the pixels);
    // the linear maps stretch what the record holds and compute it themselves when it is null.
    // `dst` is not used by HistogramStatistics.
    void HistogramStatistics(const unsigned short* src, unsigned char* dst, int w, int h,
                             HISTOGRAM_INFO* info);
    // Linear between the record's limits. KTHR is the most digit values per grey level shown
    // at once: a span narrower than 255 * KTHR digits is widened about its middle (so a uniform
    // scene shows mid grey instead of amplified noise).
    void AutoLinearMap(const unsigned short* src, unsigned char* dst, int w, int h,
                       HISTOGRAM_INFO* info, float kthr);
    void ManualLinearMap(const unsigned short* src, unsigned char* dst, int w, int h,
                         HISTOGRAM_INFO* info, float kthr, float contrast, float brightness);
    bool ContrastLimitedAdaptiveHistogramEquazition(const unsigned short* src, unsigned char* dst,
                                                    int contrast, int brightness, int w, int h);
    bool RangeLimitedHistogramEqualization(const unsigned short* src, unsigned char* dst,
                                           int limit1, int limit2, int w, int h);
    bool MixedMap(const unsigned short* src, unsigned char* dst, int contrast, int brightness,
                  int w, int h);
    bool MSREnhancement(const unsigned short* src, unsigned char* dst, int contrast, int brightness,
                        int w, int h);
    bool BilateralFilterEnhancement(const unsigned short* src, unsigned char* dst, int contrast,
                                    int brightness, int w, int h);
    // With correction on: the filter of kParaPostprocess; off: a copy (nothing when src == dst).
    // src may equal dst. 1 when done, 0 when refused.
    int PostprocessY8(const unsigned char* src, unsigned char* dst, int w, int h, bool arithOn);
    // Reverses the order of the rows; `bytesPerPixel` 1 or 2.
    void FlipImage(void* image, int w, int h, int bytesPerPixel);

    struct State;

  private:
    State* state_;
};
