// Image arithmetic: non-uniformity correction of raw frames, two-point calibration, bad pixels,
// histogram statistics and the grey-level mappings from 16-bit digit values to 8-bit images.
// One object per stream. Self-contained: depends on nothing else of the library.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>

class ZelIrArith {
public:
    // Length of the parameter array of SetArithPara/GetArithPara, in 16-bit values.
    static constexpr int kParaCount = 16;

    ZelIrArith();
    ~ZelIrArith();
    ZelIrArith(const ZelIrArith&) = delete;
    ZelIrArith& operator=(const ZelIrArith&) = delete;

    // Called at every open with the frame size, the data directory and the camera's serial text.
    void Init(int w, int h, const wchar_t* dataDirectory, const wchar_t* serial);

    // Corrects a frame in place when `arithOn`; leaves it unchanged otherwise.
    void GenY16(unsigned short* frame, int w, int h, bool arithOn);
    void SetArith(bool on);
    bool SetArithPara(const short* para);
    void GetArithPara(short* para) const;
    void SetArithType(int type);
    int GetCurrArithType() const;
    void SetArithBpImage(const unsigned short* image);
    unsigned short* GetArithBpImage();
    int SetCurrChan(int channel);
    int GetCurrChan() const;
    void ResetTwoPT();

    // Two-point calibration.
    void SetLData(const unsigned short* frame, int flag);
    bool GetLData(int flag, bool done);
    void SetHData(const unsigned short* frame, int flag);
    bool GetHData();
    bool CalcK();
    bool ReadRawDataCalcK(const wchar_t* lowFile, const wchar_t* highFile);

    // Grey-level mapping.
    void HistogramStatistics(const unsigned short* src, unsigned char* dst, int w, int h,
                             HISTOGRAM_INFO* info);
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
    bool MSREnhancement(const unsigned short* src, unsigned char* dst, int contrast,
                        int brightness, int w, int h);
    bool BilateralFilterEnhancement(const unsigned short* src, unsigned char* dst, int contrast,
                                    int brightness, int w, int h);
    int PostprocessY8(const unsigned char* src, unsigned char* dst, int w, int h, bool arithOn);
    // Reverses the order of the rows; `bytesPerPixel` 1 or 2.
    void FlipImage(void* image, int w, int h, int bytesPerPixel);

private:
    struct State;
    State* state_;
};
