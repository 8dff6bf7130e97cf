// A GigE camera as a frame source: owns the packet channel to one discovered camera, starts and
// stops its stream with register 27, hands its frames to the stream's frame processing and
// carries command traffic to and from it.
#pragma once

#include <chrono>
#include <memory>

#include "gige/command_message.h"
#include "gige/discovery.h"
#include "gige/net_interface.h"
#include "stream/stream_base.h"

class CGNetDevice : public CStreamBase {
  public:
    static constexpr uint32_t kStreamRegister = 27;
    static constexpr auto kStartResendPause = std::chrono::milliseconds(50);
    // With ZELIR_STREAM_REPORT_LOST, a camera sending no frame for this long is lost: GetFrame
    // returns nothing until frames come again, so a fetch never hands the last frame out forever.
    static constexpr auto kLostAfter = std::chrono::milliseconds(ZELIR_STREAM_LOST_MS);

    // `deviceArgument` is kept and never read. The geometry is written back into the camera's
    // discovery table entry.
    CGNetDevice(void* deviceArgument, const zelir::gige::DiscoveryEntry& entry, uint32_t width,
                uint32_t height);
    ~CGNetDevice() override;

    // Null in callback mode or while no frame has completed; otherwise the newest frame, as
    // received when `direct` is non-zero, else with its parameter line adopted, the calibration
    // step run and the pixels corrected.
    FrameRecord* GetFrame(uint32_t direct) override;
    // Opens the capture on the entry's adapter and starts the stream (register 27 written 1,
    // twice, 50 ms apart, unacknowledged). 0 when the adapter cannot be opened.
    int32_t Open() override;
    // Stops the stream (register 27 written 0 once) and the channel.
    void Close() override;
    const char* GetSourceTag() override { return "IRGIGE"; }
    uint32_t IsDevice() override { return 1; }
    // The channel's measured rate (0 without a channel), also kept as the stream's rate.
    float GetFrameRate() override;

    // A framed message as the data of an unacknowledged device command; false when it cannot be
    // built (over 540 bytes) or not sent.
    bool SendCommand(const uint8_t* command, uint32_t length) override;
    // Waits for the acknowledgement of the last command. `*length` gives the capacity of
    // `destination` on entry (nothing is copied without it) and receives the reply's length.
    uint8_t ReceiveCommand(uint8_t* destination, uint32_t* length, uint16_t* id) override;
    // Discards queued control replies; false without a channel.
    bool FlushCommands() override;
    // Array in acknowledged 512-byte blocks; the share of blocks acknowledged, in percent.
    uint32_t TransmitArray(const uint8_t* data, uint32_t length, uint32_t type) override;
    // Program-flash command, then progress polls: 0, or 0xFFFE on failure.
    uint16_t UpgradeFirmware(uint32_t value, uint32_t target) override;

    // Replaces bytes 2..5 of the camera's MAC and filters the capture for it: 0, or all ones
    // without a channel.
    int32_t SetMacAddress(const uint8_t* address) override;
    // Later commands go to this address (four bytes, first octet first in memory): 0, or all
    // ones without a channel.
    int32_t SetIpAddress(uint32_t address) override;
    // 1 when the channel expects another packet count than a full frame's height.
    int32_t Reserved10() override;
    // The four window event words (positions, width, height) when Reserved10 is 1.
    int32_t Reserved11(void* a, void* b, void* c, void* d) override;
    // Frames go to `callback` on the receive thread while callback and context are both set.
    int32_t SetCallback(ZelIrFrameCallback callback, void* context) override;
    // Application thread: takes over the newest parameter line the callback delivery published.
    void AdoptPublishedLine();

    zelir::gige::CommandMessage* Commands() override { return &commands_; }

    // ZELIR_STREAM_ANY_ORDER and ZELIR_STREAM_REPORT_LOST bits; none by default.
    void SetStreamOptions(uint32_t options);
    // Stream reception counters (all zero without a channel) and state.
    zelir::gige::StreamCounters Counters() const;
    zelir::gige::StreamState State() const;

    // For the camera's command and transfer code.
    zelir::gige::NetInterface* Channel() const { return channel_.get(); }
    const zelir::gige::DiscoveryEntry& Entry() const { return entry_; }
    zelir::gige::CameraEndpoint Endpoint() const;

  private:
    // Writes register 27 with an unacknowledged packet of its own.
    void SendStreamRegister(uint32_t value, int times);
    // While the stream is lost: starts it again, at most once per kLostAfter.
    void RequestStreamAgain();

    zelir::gige::CommandMessage commands_;
    std::unique_ptr<zelir::gige::NetInterface> channel_;
    zelir::gige::DiscoveryEntry entry_;
    uint32_t cameraWidth_;
    uint32_t cameraHeight_;
    uint64_t publishedLineSeen_ = 0;
    std::chrono::steady_clock::time_point lastStreamRequest_{};
    uint32_t streamOptions_ = 0;  // application thread, under the handle's lock
};
