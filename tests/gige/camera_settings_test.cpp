// Settings and unacknowledged transfers over a stream whose sends and answers follow a script:
// the frames handed to SendCommand, and the exact message of every failed step.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "api/handle_table.h"
#include "gige/block_transfer.h"
#include "gige/camera_settings.h"
#include "gige/command_message.h"
#include "support/debug_capture.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ScriptedStream : public CStreamBase {
  public:
    ScriptedStream() {
        streamType_ = kStreamGigE;
        width_ = 8;
        height_ = 4;
    }
    FrameRecord* GetFrame(uint32_t) override { return nullptr; }
    int32_t Open() override { return 1; }
    void Close() override {}
    const char* GetSourceTag() override { return "IRGIGE"; }
    zelir::gige::CommandMessage* Commands() override { return &commands; }
    bool SendCommand(const uint8_t* command, uint32_t length) override {
        sent.emplace_back(command, command + length);
        if (sendResults.empty()) return true;
        const bool ok = sendResults.front();
        sendResults.pop_front();
        return ok;
    }
    uint8_t ReceiveCommand(uint8_t* destination, uint32_t* length, uint16_t*) override {
        if (replies.empty() || !replies.front()) {
            if (!replies.empty()) replies.pop_front();
            return 0;
        }
        const Bytes reply = *replies.front();
        replies.pop_front();
        const uint32_t n = std::min<uint32_t>(*length, static_cast<uint32_t>(reply.size()));
        std::copy_n(reply.begin(), n, destination);
        *length = n;
        return 1;
    }

    zelir::gige::CommandMessage commands;
    std::deque<bool> sendResults;
    std::deque<std::optional<Bytes>> replies;
    std::vector<Bytes> sent;
};

class ScriptedCamera : public CIRDeviceManager {
  public:
    ScriptedCamera() {
        handleType_ = kHandleCamera;
        auto stream = std::make_unique<ScriptedStream>();
        scripted = stream.get();
        AdoptStream(std::move(stream));
    }
    ScriptedStream* scripted;
};

class ScriptedHandle : public ::testing::Test {
  protected:
    void SetUp() override {
        zelir::PlaceManager(camera_);
        zelir::gige::StoreTriggerCache({});
    }
    void TearDown() override {
        zelir::RemoveManager(camera_.get());
        zelir::gige::StoreTriggerCache({});
    }
    ZelIrHandle handle() { return camera_.get(); }
    ScriptedStream& stream() { return *camera_->scripted; }

    std::shared_ptr<ScriptedCamera> camera_ = std::make_shared<ScriptedCamera>();
};

Bytes Word(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

// ---- every failed step prints the message of its setting ----

struct FailureCase {
    const char* name;
    std::function<int32_t(ZelIrHandle)> call;
    std::deque<bool> sends;
    std::deque<std::optional<Bytes>> replies;
    std::string message;
};

class SettingFailure : public ScriptedHandle, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SettingFailure, PrintsItsMessageAndReturnsZero) {
    const FailureCase& c = GetParam();
    stream().sendResults = c.sends;
    stream().replies = c.replies;
    zelir::test::DebugCapture capture;
    EXPECT_EQ(c.call(handle()), 0);
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{c.message});
}

std::vector<FailureCase> FailureCases() {
    struct Setter {
        const char* key;
        const char* text;
        std::function<int32_t(ZelIrHandle)> set;
        std::function<int32_t(ZelIrHandle)> get;
    };
    static float floats[3];
    static uint32_t words[3];
    static uint8_t raw[32];
    const std::vector<Setter> setters = {
        {"frame_frequency", "frame frequency", [](auto h) { return ZelIr_SetFrameFreq(h, 25.0f); },
         [](auto h) { return ZelIr_GetFrameFreq(h, floats); }},
        {"exposure_time", "exposure time", [](auto h) { return ZelIr_SetExposureTime(h, 9); },
         [](auto h) { return ZelIr_GetExposureTime(h, words); }},
        {"exposure_mode", "exposure mode", [](auto h) { return ZelIr_SetExposureMode(h, 9); },
         [](auto h) { return ZelIr_GetExposureMode(h, raw, nullptr); }},
        {"gain", "gain", [](auto h) { return ZelIr_SetGain(h, 9); },
         [](auto h) { return ZelIr_GetGain(h, raw, nullptr); }},
        {"pixel_format", "pixel format", [](auto h) { return ZelIr_SetPixelFormat(h, 9); },
         [](auto h) { return ZelIr_GetPixelFormat(h, raw, nullptr); }},
        {"flip_dir", "flip dir", [](auto h) { return ZelIr_SetFlipDir(h, 9); },
         [](auto h) { return ZelIr_GetFlipDir(h, raw, nullptr); }},
    };
    std::vector<FailureCase> cases;
    const std::optional<Bytes> none;
    for (const Setter& s : setters) {
        const std::string key = s.key;
        const std::string text = s.text;
        cases.push_back({"", s.set, {false}, {}, "send write " + text + " failed\n"});
        cases.push_back({"", s.set, {true, false}, {}, "send read " + text + " failed\n"});
        cases.push_back({"", s.set, {}, {none}, "recv read " + text + " failed\n"});
        cases.push_back({"", s.get, {false}, {}, "send read " + text + " failed\n"});
        cases.push_back({"", s.get, {}, {none}, "recv read " + text + " failed\n"});
    }
    using Trigger = std::function<int32_t(ZelIrHandle)>;
    const std::vector<std::pair<std::string, Trigger>> triggers = {
        {"trigger mode", [](auto h) { return ZelIr_SetTriggerMode(h, 1); }},
        {"trigger source", [](auto h) { return ZelIr_SetTriggerSource(h, 1); }},
        {"soft trigger", [](auto h) { return ZelIr_SetSoftTrigger(h); }},
    };
    for (const auto& [text, set] : triggers) {
        cases.push_back({"", set, {false}, {}, "send read " + text + " failed\n"});
        cases.push_back({"", set, {}, {none}, "recv read " + text + " failed\n"});
        cases.push_back({"", set, {true, false}, {Word(1)}, "send write " + text + " failed\n"});
    }
    cases.push_back({"",
                     [](auto h) { return ZelIr_GetTriggerMode(h, words, nullptr); },
                     {false},
                     {},
                     "send read trigger mode failed\n"});
    cases.push_back({"",
                     [](auto h) { return ZelIr_GetTriggerSource(h, words, nullptr); },
                     {},
                     {none},
                     "recv read trigger source failed\n"});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Steps, SettingFailure, ::testing::ValuesIn(FailureCases()));

// ---- the frames a setter hands to the stream ----

TEST_F(ScriptedHandle, SetterWritesThenQueriesWithFlagZero) {
    stream().replies = {Word(1200)};
    ASSERT_EQ(ZelIr_SetExposureTime(handle(), 1200), 1);
    ASSERT_EQ(stream().sent.size(), 2u);
    EXPECT_EQ(stream().sent[0], (Bytes{0x55, 0xAA, 0x10, 0x09, 0x00, 0x01, 0x04, 0x00, 0x22, 0x07,
                                       0xB0, 0x04, 0x00, 0x00, 0xEB, 0x00}));
    EXPECT_EQ(stream().sent[1], (Bytes{0x55, 0xAA, 0x10, 0x09, 0x00, 0x00, 0x04, 0x00, 0x22, 0x07,
                                       0x00, 0x00, 0x00, 0x00, 0x36, 0x00}));
}

TEST_F(ScriptedHandle, FrameFrequencyTravelsAsFloatBytes) {
    // 25.0f = 0x41C80000; read back 25.4 (0x41CB3333) counts as the same.
    stream().replies = {Bytes{0x33, 0x33, 0xCB, 0x41, 0, 0, 0, 0, 0, 0, 0, 0}};
    ASSERT_EQ(ZelIr_SetFrameFreq(handle(), 25.0f), 1);
    ASSERT_EQ(stream().sent.size(), 2u);
    EXPECT_EQ(Bytes(stream().sent[0].begin() + 10, stream().sent[0].begin() + 14),
              (Bytes{0x00, 0x00, 0xC8, 0x41}));
}

TEST_F(ScriptedHandle, RawGettersHandOutWhatTheCameraSent) {
    stream().replies = {Bytes{1, 2, 3, 4, 5, 6}};
    uint8_t out[32] = {};
    int32_t length = 0;
    ASSERT_EQ(ZelIr_GetGain(handle(), out, &length), 1);
    EXPECT_EQ(length, 6);
    EXPECT_EQ(Bytes(out, out + 7), (Bytes{1, 2, 3, 4, 5, 6, 0}));
    // The reply buffer of these getters holds 32 bytes; more never reaches `out`.
    stream().replies = {Bytes(40, 0xEE)};
    ASSERT_EQ(ZelIr_GetFlipDir(handle(), out, &length), 1);
    EXPECT_EQ(length, 32);
}

// ---- unacknowledged transfers over failing sends ----

TEST_F(ScriptedHandle, BadPointsGoOnPastFailedSendsAndCountEveryPoint) {
    std::vector<int16_t> map(8 * 4, 0);
    map[3] = 1;       // (3, 0)
    map[8 + 7] = 5;   // (7, 1)
    map[3 * 8] = -1;  // not a bad point
    stream().sendResults = {true, false, true};
    zelir::test::DebugCapture capture;
    EXPECT_EQ(ZelIr_TransmitBadPointFile(handle(), map.data(), 0), 2);
    EXPECT_EQ(capture.Messages(), (std::vector<std::string>{"Error:failed to download badpoint\n",
                                                            "Info:last transfer number is 2\n",
                                                            "transfered 2 bad points\n"}));
    ASSERT_EQ(stream().sent.size(), 3u);
    EXPECT_EQ(stream().sent[1],
              (Bytes{0x55, 0xAA, 0x10, 0x0D, 0x00, 0x01, 0x08, 0x00, 0xC0, 0x07,
                     3,    0,    0,    0,    7,    0,    1,    0,    0xE8, 0x00}));
    EXPECT_EQ(Bytes(stream().sent[2].begin() + 10, stream().sent[2].begin() + 14),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(ScriptedHandle, BufferTransferEndsAtTheFirstFailedSend) {
    const Bytes data(1000, 0x11);
    stream().sendResults = {true, false};
    zelir::test::DebugCapture capture;
    EXPECT_EQ(zelir::gige::TransmitBuffer(stream(), data.data(), 1000, 2, 0), 0);
    EXPECT_EQ(capture.Messages(),
              (std::vector<std::string>{"       0:496 bytes\n", "   0x1f0:496 bytes failed\n"}));
    ASSERT_EQ(stream().sent.size(), 2u);
    // Header byte: type OR 0x40 first, the bare type in the middle; then the 24-bit offset.
    EXPECT_EQ(Bytes(stream().sent[0].begin() + 10, stream().sent[0].begin() + 14),
              (Bytes{0x42, 0, 0, 0}));
    EXPECT_EQ(Bytes(stream().sent[1].begin() + 10, stream().sent[1].begin() + 14),
              (Bytes{0x02, 0xF0, 0x01, 0}));
    EXPECT_EQ(stream().sent[1].size(), 496u + 4 + 12);
}

TEST_F(ScriptedHandle, ProgressCallbackNeedsACameraHandle) {
    EXPECT_EQ(ZelIr_SetCommandCallback(nullptr, nullptr, nullptr), 0);
    auto callback = [](uint16_t, uint32_t, void*) {};
    EXPECT_EQ(ZelIr_SetCommandCallback(handle(), callback, this), 1);
    EXPECT_EQ(stream().ProgressCallback(), static_cast<ZelIrProgressCallback>(callback));
    EXPECT_EQ(stream().ProgressContext(), this);
    // Without an override the stream transfers nothing: the exports report failure.
    const uint8_t data[4] = {};
    EXPECT_EQ(ZelIr_TransmitArray(handle(), data, 4, 0), 0);
    EXPECT_EQ(ZelIr_UpgradeFireware(handle(), 0, 0), 0);
}

}  // namespace
