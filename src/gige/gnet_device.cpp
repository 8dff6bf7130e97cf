#include "gige/gnet_device.h"

#include <array>
#include <cstring>
#include <thread>

#include "formats/parameter_line.h"
#include "gige/control_channel.h"

using namespace zelir::gige;

CGNetDevice::CGNetDevice(void* deviceArgument, const DiscoveryEntry& entry, uint32_t width,
                         uint32_t height)
    : entry_(entry), cameraWidth_(width), cameraHeight_(height) {
    deviceArgument_ = reinterpret_cast<uintptr_t>(deviceArgument);
    streamType_ = kStreamGigE;
    sourceStatus_ = kSourceReady;
    width_ = static_cast<uint16_t>(width);
    height_ = static_cast<uint16_t>(height);
    dataOffset_ = 0;
    frameSize_ = width * height * 2;
    channel_ = std::make_unique<NetInterface>(entry_.adapterIndex, width, height);
    SetDiscoveredGeometry(entry_.cameraIndex, width_, height_);
}

CGNetDevice::~CGNetDevice() {
    Close();
    if (channel_) {
        channel_->Stop();
        channel_.reset();
    }
}

CameraEndpoint CGNetDevice::Endpoint() const {
    CameraEndpoint endpoint{entry_.mac, 0};
    std::memcpy(&endpoint.address, entry_.address, sizeof endpoint.address);
    return endpoint;
}

FrameRecord* CGNetDevice::GetFrame(uint32_t direct) {
    if (callbackMode_ != 0 || !channel_) return nullptr;
    if ((streamOptions_ & ZELIR_STREAM_REPORT_LOST) != 0 && State() == StreamState::Lost) {
        RequestStreamAgain();
        return nullptr;
    }
    FrameRecord& record = *frameRecord_;
    const FrameDestination destination{record.Bytes(), &record.imageBytes, &record.pixelKind,
                                       &record.bytesPerPixel};
    if (channel_->FetchNewestFrame(destination) == 0) return nullptr;
    if (direct != 0) return &record;
    // The line follows the image bytes; the fetch copied the whole last packet, so it is there.
    AdoptParameterLine(record.data.get() + record.imageBytes);
    CalibrationStep(record.data.get());
    GenerateY16(record.data.get(), width_, height_);
    return &record;
}

void CGNetDevice::SetStreamOptions(uint32_t options) {
    streamOptions_ = options;
    if (channel_) channel_->SetAnyOrder((options & ZELIR_STREAM_ANY_ORDER) != 0);
}

StreamCounters CGNetDevice::Counters() const {
    return channel_ ? channel_->Frames().Counters() : StreamCounters{};
}

StreamState CGNetDevice::State() const {
    return channel_ ? channel_->Frames().State(kLostAfter) : StreamState::Lost;
}

void CGNetDevice::AdoptPublishedLine() {
    std::array<uint8_t, FrameAssembler::kPublishedLineBytes> line;
    if (!channel_ || imaging_ == nullptr) return;
    if (!channel_->Frames().TakePublishedLine(publishedLineSeen_, line)) return;
    zelir::files::AdoptParameterLine(*imaging_->ParameterBlock(), line);
}

void CGNetDevice::SendStreamRegister(uint32_t value, int times) {
    const std::array<uint32_t, 2> write = {kStreamRegister, value};
    std::array<uint8_t, 16> packet{};
    std::lock_guard<std::recursive_mutex> exchange(channel_->ControlLock());
    const uint32_t length =
        BuildCommand(channel_->Control(), reinterpret_cast<const uint8_t*>(write.data()),
                     sizeof write, kWriteRegisterCommand, packet);
    const CameraEndpoint camera = Endpoint();
    for (int i = 0; i < times; ++i) {
        channel_->SendUdp(std::span(packet).first(length), camera.mac, camera.address);
        if (times > 1) std::this_thread::sleep_for(kStartResendPause);
    }
}

void CGNetDevice::RequestStreamAgain() {
    // A camera that restarted streams again only when told to: one unacknowledged start a
    // second brings it back without a reopen, and costs nothing when it is gone for good.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastStreamRequest_ < kLostAfter) return;
    lastStreamRequest_ = now;
    SendStreamRegister(1, 1);
}

int32_t CGNetDevice::Open() {
    width_ = entry_.width;
    height_ = entry_.height;
    const CameraEndpoint camera = Endpoint();
    if (!channel_ || channel_->OpenAdapter(entry_.adapterIndex, &camera) != 0) return 0;
    open_ = 1;
    // The start is not acknowledged: a second packet covers the loss of the first. The
    // acknowledgements surface later as unexpected ids and are skipped.
    SendStreamRegister(1, 2);
    return 1;
}

void CGNetDevice::Close() {
    if (channel_) {
        SendStreamRegister(0, 1);
        channel_->Stop();
    }
    open_ = 0;
}

float CGNetDevice::GetFrameRate() {
    frameRate_ = channel_ ? channel_->GetFrameRate() : 0.0f;
    return frameRate_;
}

bool CGNetDevice::SendCommand(const uint8_t* command, uint32_t length) {
    if (!channel_) return false;
    return SendDeviceCommand({channel_.get(), Endpoint()}, command, length);
}

uint8_t CGNetDevice::ReceiveCommand(uint8_t* destination, uint32_t* length, uint16_t* id) {
    if (!channel_) return 0;
    const uint32_t capacity = destination != nullptr && length != nullptr ? *length : 0;
    return static_cast<uint8_t>(
        ReceiveReply(*channel_, std::span(destination, capacity), length, id));
}

bool CGNetDevice::FlushCommands() {
    if (!channel_) return false;
    channel_->FlushMessages();
    return true;
}

int32_t CGNetDevice::SetMacAddress(const uint8_t* address) {
    if (!channel_ || address == nullptr) return -1;
    std::memcpy(entry_.mac.data() + 2, address, 4);
    channel_->SetSourceFilter(entry_.mac, 1);  // its result does not change the answer
    return 0;
}

int32_t CGNetDevice::SetIpAddress(uint32_t address) {
    if (!channel_) return -1;
    std::memcpy(entry_.address, &address, sizeof entry_.address);
    return 0;
}

int32_t CGNetDevice::Reserved10() {
    return channel_ && channel_->Frames().ExpectedPacketCount() != cameraHeight_ ? 1 : 0;
}

int32_t CGNetDevice::Reserved11(void* a, void* b, void* c, void* d) {
    if (Reserved10() == 0) return 0;
    const std::array<int16_t, 4> words = channel_->Frames().EventWords();
    void* const outs[4] = {a, b, c, d};
    for (size_t i = 0; i < words.size(); ++i) {
        const int32_t value = words[i];
        if (outs[i] != nullptr) std::memcpy(outs[i], &value, sizeof value);
    }
    return 1;
}

int32_t CGNetDevice::SetCallback(ZelIrFrameCallback callback, void* context) {
    if (!channel_) return 0;
    channel_->SetFrameCallback(callback, context);
    callbackMode_ = callback != nullptr && context != nullptr ? 1 : 0;
    return 1;
}
