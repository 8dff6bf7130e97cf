// A camera handle for the command tests: a manager in the handle table whose stream reaches
// zelir-camsim on zc0 through its own packet channel, the way the GigE camera does.
#pragma once

#include <arpa/inet.h>

#include <memory>

#include "api/handle_table.h"
#include "gige/block_transfer.h"
#include "gige/control_channel.h"
#include "net/net_harness.h"

namespace zelir::test {

class ChannelCamera : public CStreamBase {
  public:
    ChannelCamera(uint32_t adapter, const gige::CameraEndpoint& camera)
        : adapter_(adapter), channel_(adapter, 640, 512), camera_(camera) {
        streamType_ = kStreamGigE;
        width_ = 640;
        height_ = 512;
    }
    ~ChannelCamera() override { Close(); }
    FrameRecord* GetFrame(uint32_t) override { return nullptr; }
    int32_t Open() override { return open_ = channel_.OpenAdapter(adapter_, &camera_) == 0; }
    void Close() override {
        channel_.Stop();
        open_ = 0;
    }
    const char* GetSourceTag() override { return "IRGIGE"; }
    bool SendCommand(const uint8_t* command, uint32_t length) override {
        return gige::SendDeviceCommand(Target(), command, length);
    }
    uint8_t ReceiveCommand(uint8_t* destination, uint32_t* length, uint16_t* id) override {
        const uint32_t capacity = destination != nullptr && length != nullptr ? *length : 0;
        return static_cast<uint8_t>(
            gige::ReceiveReply(channel_, {destination, capacity}, length, id));
    }
    uint32_t TransmitArray(const uint8_t* data, uint32_t length, uint32_t type) override {
        return gige::TransmitArray(*Commands(), Target(), data, length, type,
                                   {progressCallback_, progressContext_});
    }
    uint16_t UpgradeFirmware(uint32_t value, uint32_t target) override {
        return gige::ProgramFlash(*Commands(), Target(), value, target,
                                  {progressCallback_, progressContext_}, flashTiming);
    }
    gige::ControlTarget Target() { return {&channel_, camera_}; }

    gige::FlashTiming flashTiming;

  private:
    uint32_t adapter_;
    gige::NetInterface channel_;
    gige::CameraEndpoint camera_;
};

class ChannelCameraManager : public CIRDeviceManager {
  public:
    ChannelCameraManager(uint32_t adapter, const gige::CameraEndpoint& camera) {
        handleType_ = kHandleCamera;
        InitParameterBlock(parameterBlock_, 640, 512);
        auto stream = std::make_unique<ChannelCamera>(adapter, camera);
        camera_ = stream.get();
        stream_ = std::move(stream);
        stream_->AttachOwner(this);
    }
    ChannelCamera& Camera() { return *camera_; }

  private:
    ChannelCamera* camera_;
};

// Opens the camera on zh0 into the handle table; closes and removes it again.
class CommandCamera {
  public:
    CommandCamera() {
        gige::EnumerateAdapters();
        const int adapter = AdapterIndex("zh0");
        if (adapter < 0) return;
        manager_ = new ChannelCameraManager(static_cast<uint32_t>(adapter),
                                            {CameraMac("zc0"), inet_addr("198.18.0.2")});
        if (manager_->Camera().Open() != 1) return;
        HandleTable()[FindFreeSlot()] = manager_;
    }
    ~CommandCamera() {
        const int slot = FindSlot(manager_);
        if (slot >= 0) HandleTable()[slot] = nullptr;
        // Closed first: a closed stream leaves para.ini alone when the manager goes.
        if (manager_ != nullptr) manager_->Camera().Close();
        delete manager_;
    }
    CommandCamera(const CommandCamera&) = delete;
    CommandCamera& operator=(const CommandCamera&) = delete;

    ZelIrHandle handle() const { return FindSlot(manager_) >= 0 ? manager_ : nullptr; }
    ChannelCamera& camera() { return manager_->Camera(); }
    CIRDeviceManager& manager() { return *manager_; }

  private:
    ChannelCameraManager* manager_ = nullptr;
};

}  // namespace zelir::test
