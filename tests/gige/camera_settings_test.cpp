// Settings and unacknowledged transfers over a stream whose sends and answers follow a script:
// the frames handed to SendCommand, and the exact message of every failed step.

#include <deque>

#include "gige/block_transfer.h"
#include "gige/camera_settings.h"
#include "gige/command_message.h"
#include "support/debug_capture.h"
#include "support/fake_handle.h"
#include "support/unit.h"

namespace {

using Bytes = std::vector<uint8_t>;

class ScriptedHandle : public ::testing::Test {
  protected:
    void SetUp() override { zelir::gige::StoreTriggerCache({}); }
    void TearDown() override { zelir::gige::StoreTriggerCache({}); }
    ZelIrHandle handle() { return camera_.handle(); }
    zelir_test::FakeSource& stream() { return camera_.source(); }

    zelir_test::ScopedHandle camera_{kHandleCamera, kStreamGigE, 8, 4};
};

Bytes Word(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

// ---- every failed step prints the message of its setting ----

using Call = int32_t (*)(ZelIrHandle);
struct FailureCase {
    const char* name;
    Call call;
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

uint32_t words[3];
uint8_t raw[32];
const std::optional<Bytes> kSilence;

// Every setting's name, each of the three failing steps, and each kind of getter.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Steps, SettingFailure,
    ::testing::Values(
        FailureCase{"FrequencyWrite", [](auto h) { return ZelIr_SetFrameFreq(h, 25.0f); }, {false}, {}, "send write frame frequency failed\n"},
        FailureCase{"ExposureTimeQuery", [](auto h) { return ZelIr_SetExposureTime(h, 9); }, {true, false}, {}, "send read exposure time failed\n"},
        FailureCase{"ExposureModeReply", [](auto h) { return ZelIr_SetExposureMode(h, 9); }, {}, {kSilence}, "recv read exposure mode failed\n"},
        FailureCase{"SoftTriggerWrite", [](auto h) { return ZelIr_SetSoftTrigger(h); }, {true, false}, {Word(1)}, "send write soft trigger failed\n"},
        FailureCase{"GetGain", [](auto h) { return ZelIr_GetGain(h, raw, nullptr); }, {}, {kSilence}, "recv read gain failed\n"},
        FailureCase{"GetTriggerMode", [](auto h) { return ZelIr_GetTriggerMode(h, words, nullptr); }, {false}, {}, "send read trigger mode failed\n"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

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

TEST_F(ScriptedHandle, WithoutBadPointsOnlyTheMarkersGoOut) {
    const std::vector<int16_t> map(8 * 4, 0);
    zelir::test::DebugCapture capture;
    EXPECT_EQ(ZelIr_TransmitBadPointFile(handle(), map.data(), 0), 0);
    EXPECT_EQ(stream().sent.size(), 2u);
    EXPECT_EQ(capture.CountContaining("last transfer number"), 0u);
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
}

// An array transfer succeeds only when the whole array went out.
TEST_F(ScriptedHandle, ArrayTransferSucceedsAtOneHundredPercent) {
    const uint8_t data[4] = {};
    for (const auto& [percent, result] : {std::pair{100u, 1}, {99u, 0}, {0u, 0}}) {
        stream().transferred = percent;
        EXPECT_EQ(ZelIr_TransmitArray(handle(), data, 4, 0), result) << percent;
    }
}

}  // namespace
