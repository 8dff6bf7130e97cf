#include "stream/stream_base.h"

CStreamBase::CStreamBase() : frameRecord_(std::make_unique<FrameRecord>()) {}

CStreamBase::~CStreamBase() = default;

void CStreamBase::Lock() {
    lock_.lock();
}
void CStreamBase::Unlock() {
    lock_.unlock();
}
FrameRecord* CStreamBase::GetFrameRecord() {
    return frameRecord_.get();
}
int32_t CStreamBase::SwitchVideoMode(uint16_t) {
    return 0;
}
void CStreamBase::SetPause(uint32_t paused) {
    paused_ = paused;
}
uint32_t CStreamBase::IsOpen() {
    return open_;
}
uint32_t CStreamBase::IsPaused() {
    return paused_;
}
void CStreamBase::Resume() {
    paused_ = 0;
}
uint32_t CStreamBase::IsDevice() {
    return 0;
}
void CStreamBase::Reserved1() {}
void CStreamBase::Reserved2() {}
void CStreamBase::Reserved3() {}
void CStreamBase::Reserved4() {}
void CStreamBase::Reserved5() {}
void CStreamBase::Reserved6() {}
void CStreamBase::Reserved7() {}

void CStreamBase::Calibrate() {
    if (sourceStatus_ != kSourceReady) return;
    calibrationState_ = 1;
    calibrationCountdown_ = 1;
}

void CStreamBase::SoftCalibrate() {}
void CStreamBase::FarFocus() {}
void CStreamBase::NearFocus() {}
void CStreamBase::StopFocus() {}
uint16_t CStreamBase::GetWidth() {
    return width_;
}
uint16_t CStreamBase::GetHeight() {
    return height_;
}
uint16_t CStreamBase::GetDataOffset() {
    return dataOffset_;
}
uint32_t CStreamBase::GetFrameSize() {
    return frameSize_;
}
float CStreamBase::GetFrameRate() {
    return frameRate_;
}
uint32_t CStreamBase::Reserved8(void*, uint32_t) {
    return 1;
}

uint32_t CStreamBase::WriteRecordFrame(const void* header, uint32_t headerLength, const void* data,
                                       uint32_t dataLength) {
    return recorder_ != nullptr ? recorder_->WriteFrame(header, headerLength, data, dataLength) : 0;
}

uint32_t CStreamBase::Reserved9(uint32_t, void*, uint16_t) {
    return 0;
}
bool CStreamBase::SendCommand(const uint8_t*, uint32_t) {
    return false;
}
uint8_t CStreamBase::ReceiveCommand(uint8_t*, uint32_t*, uint16_t*) {
    return 0;
}
bool CStreamBase::FlushCommands() {
    return false;
}
uint32_t CStreamBase::TransmitArray(const uint8_t*, uint32_t, uint32_t) {
    return 0;
}
uint16_t CStreamBase::UpgradeFirmware(uint32_t, uint32_t) {
    return 0;
}
int32_t CStreamBase::CaptureReset() {
    return 1;
}
int32_t CStreamBase::SetExtTrigger(uint32_t, uint32_t) {
    return 1;
}
int32_t CStreamBase::GetExtTrigger(uint32_t*, uint32_t*) {
    return 0;
}
int32_t CStreamBase::SetMacAddress(const uint8_t*) {
    return -1;
}
int32_t CStreamBase::SetIpAddress(uint32_t) {
    return -1;
}
int32_t CStreamBase::Reserved10() {
    return 0;
}
int32_t CStreamBase::Reserved11(void*, void*, void*, void*) {
    return 0;
}
int32_t CStreamBase::SetCallback(ZelIrFrameCallback, void*) {
    return 0;
}
int32_t CStreamBase::AttachBuffers(void*, void*) {
    return 0;
}

void CStreamBase::Attach(CIRManager* imaging, FrameSink* recorder) {
    imaging_ = imaging;
    recorder_ = recorder;
    if (imaging != nullptr) AttachBuffers(imaging->HistogramRecord(), imaging->ParameterBlock());
}

void CStreamBase::SetSaveDirectory(const wchar_t* path) {
    const std::wstring text = path != nullptr ? path : L"";
    if (text.size() >= 256) {
        saveDirectory_.clear();
        return;
    }
    saveDirectory_ = text;
    // An empty path stays empty rather than turning into the root directory.
    if (!saveDirectory_.empty() && saveDirectory_.back() != L'/') saveDirectory_ += L'/';
}

int32_t CStreamBase::SetMessageFilter(uintptr_t first, uintptr_t second) {
    messageFilter_[0] = first;
    messageFilter_[1] = second;
    return 1;
}

void CStreamBase::SetArithEnabled(uint32_t flag) {
    arithOn_ = flag;
    arith_.SetArith(flag != 0);
}

bool CStreamBase::SetArithPara(const int16_t* para) {
    return arith_.SetArithPara(para);
}
void CStreamBase::GetArithPara(int16_t* para) const {
    arith_.GetArithPara(para);
}

int32_t CStreamBase::SetArithType(int type) {
    arith_.SetArithType(type);
    return 1;
}

int CStreamBase::GetCurrArithType() const {
    return arith_.GetCurrArithType();
}
void CStreamBase::SetArithBpImage(const uint16_t* image) {
    arith_.SetArithBpImage(image);
}
uint16_t* CStreamBase::GetArithBpImage() {
    return arith_.GetArithBpImage();
}
bool CStreamBase::SetCurrChan(int channel) {
    return arith_.SetCurrChan(channel) > 0;
}
int CStreamBase::GetCurrChan() const {
    return arith_.GetCurrChan();
}
void CStreamBase::ResetTwoPT() {
    arith_.ResetTwoPT();
}

bool CStreamBase::ReadRawDataCalcK(const wchar_t* lowFile, const wchar_t* highFile) {
    return arith_.ReadRawDataCalcK(lowFile, highFile);
}
