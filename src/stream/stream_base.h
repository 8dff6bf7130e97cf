// The abstract frame source behind every open handle: a GigE camera or a recorded file.
// Everything above the stream uses only these operations, so both kinds are interchangeable.
#pragma once

#include <zelir/zelir.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "files/movie_header.h"
#include "imaging/arith/zelir_arith.h"
#include "stream/frame_record.h"

class CIRManager;
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

// Codes accepted as live cameras: 1 and the further camera kinds 2, 3, 4 and 9.
inline bool IsCameraStreamType(uint32_t type) {
    return type == 1 || type == 2 || type == 3 || type == 4 || type == 9;
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

    // Attaches the owning manager (null detaches) and hands it its buffers.
    void AttachOwner(CIRManager* owner);
    CIRManager* Owner() const { return owner_; }
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
    // Runs once per processed frame: takes a pending calibration request and feeds the frame to
    // the two-point capture while one is running.
    void CalibrationStep(uint8_t* frame);
    // Has the arithmetic object correct the frame's pixels in place.
    void GenerateY16(uint8_t* frame, int width, int height);
    // Copies a valid parameter line (marker 1, size 5..100) over the first 100 bytes of the
    // owner's parameter block, keeping its width, height and header lines. False when invalid.
    bool AdoptParameterLine(const uint8_t* line);
    void RequestHighPoint() { calibrationRequest_ = kRequestHighPoint; }

    uint32_t StreamTypeCode() const { return streamType_; }
    ZelIrArith& Arith() { return arith_; }
    uint32_t SourceStatus() const { return sourceStatus_; }
    uint32_t CalibrationState() const { return calibrationState_; }
    uint32_t CalibrationRequest() const { return calibrationRequest_; }
    uint32_t CalibrationCountdown() const { return calibrationCountdown_; }
    uint32_t LoopPlay() const { return loopPlay_; }
    void SetLoopPlay(uint32_t loop) { loopPlay_ = loop; }
    // Movie recording: 0 when started, -1 when the file cannot be created. Starting while
    // recording finishes the running movie first.
    int32_t StartRecording(const wchar_t* path);
    // Finishes the movie header (stop time, frame count, duration, geometry) and closes the file.
    int32_t StopRecording();
    // Savers of the current image; 1 on success, 0 when there is no owner or no file.
    int32_t SaveCurrentImage(const wchar_t* path, bool companionRaw);
    int32_t SaveCurrentImageAsBmp(const wchar_t* path);
    int32_t SaveCallerImage(const wchar_t* path, const BITMAPINFOHEADER* info,
                            const RGBQUAD* palette, const uint8_t* pixels, uint16_t lineSize);
    uint32_t IsRecording() const { return recording_; }
    uint32_t RecordedFrames() const { return recordedFrames_; }
    uint32_t CallbackMode() const { return callbackMode_; }

    // Analysis block: an application's opaque bytes, kept with the stream.
    static constexpr uint32_t kAnalysisBlockBytes = 10000;
    uint8_t* AnalysisBlock() { return analysisBlock_.get(); }
    uint16_t AnalysisBlockLength() const { return analysisBlockLength_; }
    void SetAnalysisBlockLength(uint16_t length) { analysisBlockLength_ = length; }

    void SetProgressCallback(ZelIrProgressCallback callback, void* context) {
        progressCallback_ = callback;
        progressContext_ = context;
    }
    ZelIrProgressCallback ProgressCallback() const { return progressCallback_; }
    void* ProgressContext() const { return progressContext_; }

    // The camera's framed messages, built into the stream's one command message object;
    // 0 (and a null message) when the stream has none.
    zelir::gige::CommandMessage* Commands() const { return commandMessage_.get(); }
    int BuildMessage(uint16_t id, uint8_t flag, const uint8_t* data, uint32_t n);
    int BuildMessageWithParam(uint16_t id, uint8_t flag, const uint8_t* data, uint32_t n,
                              uint32_t parameter);
    uint8_t* GetMessage() const;
    uint16_t GetMessageLength() const;

  protected:
    // Constructed first and destroyed last: everything below may use it.
    ZelIrArith arith_;
    // Shared by both kinds of source.
    uint32_t loopPlay_ = 0;
    uint16_t width_ = 0;
    uint16_t height_ = 0;
    uint32_t frameSize_ = 0;
    uint16_t dataOffset_ = 0;
    float frameRate_ = 25.0f;
    uint32_t arithOn_ = 0;
    uint8_t hasParameterLine_ = 0;
    uintptr_t messageFilter_[2] = {0, 0};
    uint32_t open_ = 0;
    uint32_t paused_ = 0;
    std::recursive_mutex lock_;  // held while a recording is finished and while a frame is written
    uint32_t sourceStatus_ = 0;
    uint32_t recording_ = 0;
    FILE* recordFile_ = nullptr;
    zelir::files::MovieHeader movieHeader_{};
    uint32_t recordStartTime_ = 0;
    uint32_t recordedFrames_ = 0;
    uint32_t calibrationState_ = 0;
    uint32_t calibrationRequest_ = 0;
    uint32_t calibrationCountdown_ = 0;
    std::unique_ptr<FrameRecord> frameRecord_;
    std::unique_ptr<zelir::gige::CommandMessage> commandMessage_;
    uint32_t streamType_ = kStreamUnknown;
    std::wstring saveDirectory_;
    uintptr_t deviceArgument_ = 0;
    CIRManager* owner_ = nullptr;
    uint16_t analysisBlockLength_ = 0;
    std::unique_ptr<uint8_t[]> analysisBlock_;
    uint32_t callbackMode_ = 0;
    ZelIrProgressCallback progressCallback_ = nullptr;
    void* progressContext_ = nullptr;
};
