// The abstract frame source behind every open handle: a GigE camera or a recorded file.
// Everything above the stream uses only these operations, so both kinds are interchangeable.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "arith/zelir_arith.h"
#include "imaging/ir_manager.h"
#include "stream/frame_record.h"
#include "stream/frame_sink.h"

namespace zelir::gige {
class CommandMessage;
}

// Stream type codes.
enum StreamType : uint32_t {
    kStreamUnknown = 0,
    kStreamGigE = 1,
    kStreamIiv = 5,
    kStreamMovie = 6,
    kStreamCombinedImage = 7,
    kStreamRawImage = 8,
    kStreamOtherFile = 20,
};

// Codes of the further camera kinds, accepted as live cameras beside kStreamGigE.
inline constexpr uint32_t kStreamCameraKind2 = 2;
inline constexpr uint32_t kStreamCameraKind3 = 3;
inline constexpr uint32_t kStreamCameraKind4 = 4;
inline constexpr uint32_t kStreamCameraKind9 = 9;

inline bool IsCameraStreamType(uint32_t type) {
    return type == kStreamGigE || type == kStreamCameraKind2 || type == kStreamCameraKind3 ||
           type == kStreamCameraKind4 || type == kStreamCameraKind9;
}

// Source status of a stream that is ready to deliver frames.
inline constexpr uint32_t kSourceReady = 8;
// Calibration requests.
inline constexpr uint32_t kRequestLowPoint = 3;
inline constexpr uint32_t kRequestHighPoint = 4;

class CStreamBase {
  public:
    CStreamBase();
    CStreamBase(const CStreamBase&) = delete;
    CStreamBase& operator=(const CStreamBase&) = delete;

    // The operations, in their fixed order (reserved slots keep the order).
    virtual ~CStreamBase();
    virtual void Lock();
    virtual void Unlock();
    virtual FrameRecord* GetFrame(uint32_t direct) = 0;
    virtual FrameRecord* GetFrameRecord();
    virtual int32_t SwitchVideoMode(uint16_t mode);
    virtual void SetPause(uint32_t paused);
    virtual int32_t Open() = 0;
    virtual uint32_t IsOpen();
    virtual void Close() = 0;
    virtual uint32_t IsPaused();
    virtual void Resume();
    virtual const char* GetSourceTag() = 0;
    virtual uint32_t IsDevice();
    virtual void Reserved1();
    virtual void Reserved2();
    virtual void Reserved3();
    virtual void Reserved4();
    virtual void Reserved5();
    virtual void Reserved6();
    virtual void Reserved7();
    virtual void Calibrate();
    virtual void SoftCalibrate();
    virtual void FarFocus();
    virtual void NearFocus();
    virtual void StopFocus();
    virtual uint16_t GetWidth();
    virtual uint16_t GetHeight();
    virtual uint16_t GetDataOffset();
    virtual uint32_t GetFrameSize();
    virtual float GetFrameRate();
    virtual uint32_t Reserved8(void* data, uint32_t value);
    virtual uint32_t WriteRecordFrame(const void* header, uint32_t headerLength, const void* data,
                                      uint32_t dataLength);
    virtual uint32_t Reserved9(uint32_t value, void* data, uint16_t length);
    virtual bool SendCommand(const uint8_t* command, uint32_t length);
    // Waits for the camera's answer; `*length` holds the destination's capacity on entry and
    // the reply's own length on return (above the capacity when the reply was cut).
    virtual uint8_t ReceiveCommand(uint8_t* destination, uint32_t* length, uint16_t* id);
    virtual bool FlushCommands();
    virtual uint32_t TransmitArray(const uint8_t* data, uint32_t length, uint32_t value);
    virtual uint16_t UpgradeFirmware(uint32_t value, uint32_t target);
    virtual int32_t CaptureReset();
    virtual int32_t SetExtTrigger(uint32_t first, uint32_t second);
    virtual int32_t GetExtTrigger(uint32_t* first, uint32_t* second);
    virtual int32_t SetMacAddress(const uint8_t* address);
    virtual int32_t SetIpAddress(uint32_t address);
    virtual int32_t Reserved10();
    virtual int32_t Reserved11(void* a, void* b, void* c, void* d);
    virtual int32_t SetCallback(ZelIrFrameCallback callback, void* context);
    virtual int32_t AttachBuffers(void* first, void* second);

    // Hands the stream what it works with: the image state whose parameter block, palette and
    // mask it fills in (null detaches), and where WriteRecordFrame sends frames (may be null).
    void Attach(CIRManager* imaging, FrameSink* recorder);
    // Paths of 256 characters or more leave the save directory empty.
    void SetSaveDirectory(const wchar_t* path);
    const std::wstring& SaveDirectory() const { return saveDirectory_; }
    int32_t SetMessageFilter(uintptr_t first, uintptr_t second);

    void SetArithEnabled(uint32_t flag);
    uint32_t GetArithEnabled() const { return arithOn_; }
    bool SetArithPara(const int16_t* para);
    void GetArithPara(int16_t* para) const;
    int32_t SetArithType(int type);
    int GetCurrArithType() const;
    void SetArithBpImage(const uint16_t* image);
    uint16_t* GetArithBpImage();
    bool SetCurrChan(int channel);
    int GetCurrChan() const;
    void ResetTwoPT();
    bool ReadRawDataCalcK(const wchar_t* lowFile, const wchar_t* highFile);
    void RequestLowPoint() { calibrationRequest_ = kRequestLowPoint; }
    void RequestHighPoint() { calibrationRequest_ = kRequestHighPoint; }
    // Runs once per processed frame: takes a pending calibration request and feeds the frame to
    // the two-point capture while one is running.
    void CalibrationStep(uint8_t* frame);
    // Has the arithmetic object correct the frame's pixels in place.
    void GenerateY16(uint8_t* frame, int width, int height);
    // Copies a valid parameter line (marker 1, size 5..100) over the first 100 bytes of the
    // image state's parameter block, keeping its width, height and header lines. False when
    // invalid.
    bool AdoptParameterLine(const uint8_t* line);

    // The camera's framed-message builder; null for every source but a camera.
    virtual zelir::gige::CommandMessage* Commands() { return nullptr; }

    uint32_t StreamTypeCode() const { return streamType_; }
    ZelIrArith& Arith() { return arith_; }
    uint32_t SourceStatus() const { return sourceStatus_; }
    uint32_t CalibrationState() const { return calibrationState_; }
    uint32_t CalibrationRequest() const { return calibrationRequest_; }
    uint32_t CalibrationCountdown() const { return calibrationCountdown_; }
    uint32_t LoopPlay() const { return loopPlay_; }
    void SetLoopPlay(uint32_t loop) { loopPlay_ = loop; }
    uint32_t CallbackMode() const { return callbackMode_; }

    void SetProgressCallback(ZelIrProgressCallback callback, void* context) {
        progressCallback_ = callback;
        progressContext_ = context;
    }
    ZelIrProgressCallback ProgressCallback() const { return progressCallback_; }
    void* ProgressContext() const { return progressContext_; }

    // A valid parameter line has reached this source's parameter block.
    bool ReceivedParameterLine() const { return hasParameterLine_ != 0; }

  protected:
    // Constructed first and destroyed last: everything below may use it.
    ZelIrArith arith_;
    // Shared by both kinds of source.
    uint32_t loopPlay_ = 0;
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    uint32_t frameSize_ = 0;
    uint16_t dataOffset_ = 0;
    float frameRate_ = kDefaultFrameRate;
    uint32_t arithOn_ = 0;
    uint8_t hasParameterLine_ = 0;
    uintptr_t messageFilter_[2] = {0, 0};
    uint32_t open_ = 0;
    uint32_t paused_ = 0;
    std::recursive_mutex lock_;  // the Lock/Unlock operations
    uint32_t sourceStatus_ = 0;
    uint32_t calibrationState_ = 0;
    uint32_t calibrationRequest_ = 0;
    uint32_t calibrationCountdown_ = 0;
    std::unique_ptr<FrameRecord> frameRecord_;
    uint32_t streamType_ = kStreamUnknown;
    std::wstring saveDirectory_;
    uintptr_t deviceArgument_ = 0;
    CIRManager* imaging_ = nullptr;
    FrameSink* recorder_ = nullptr;
    uint32_t callbackMode_ = 0;
    ZelIrProgressCallback progressCallback_ = nullptr;
    void* progressContext_ = nullptr;
};
