// The shared behaviour of every frame source.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stream/stream_base.h"

namespace {

class TestStream : public CStreamBase {
  public:
    FrameRecord* GetFrame(uint32_t) override { return nullptr; }
    int32_t Open() override { return open_ = 1; }
    void Close() override { open_ = 0; }
    const char* GetSourceTag() override { return "TEST"; }

    void MakeReady() { sourceStatus_ = kSourceReady; }
};

// Counts the bytes it is handed.
class CountingSink : public FrameSink {
  public:
    uint32_t WriteFrame(const void*, uint32_t headerLength, const void*,
                        uint32_t dataLength) override {
        bytes += headerLength + dataLength;
        return ++frames;
    }
    uint32_t frames = 0;
    uint32_t bytes = 0;
};

TEST(StreamBase, UnsupportedCameraOperationsReportFailure) {
    TestStream stream;
    const uint8_t mac[6] = {};
    EXPECT_EQ(stream.SwitchVideoMode(1), 0);
    EXPECT_EQ(stream.SetMacAddress(mac), -1);
    EXPECT_EQ(stream.SetIpAddress(0xC6120002u), -1);
    EXPECT_FALSE(stream.SendCommand(mac, 6));
    EXPECT_EQ(stream.TransmitArray(mac, 6, 0), 0u);
    EXPECT_EQ(stream.GetExtTrigger(nullptr, nullptr), 0);
}

struct SaveDirectoryCase {
    std::wstring given;
    std::wstring stored;
};

TEST(StreamBase, SaveDirectory) {
    const std::vector<SaveDirectoryCase> cases = {
        {L"/tmp/data", L"/tmp/data/"},
        {L"/tmp/data/", L"/tmp/data/"},
        {std::wstring(255, L'a'), std::wstring(255, L'a') + L"/"},
        {std::wstring(256, L'a'), L""},
        {L"", L""},
    };
    for (const SaveDirectoryCase& c : cases) {
        TestStream stream;
        stream.SetSaveDirectory(c.given.c_str());
        EXPECT_EQ(stream.SaveDirectory(), c.stored) << c.given.size();
    }
}

TEST(StreamBase, CalibrateStartsOnlyWhenReady) {
    TestStream stream;
    stream.Calibrate();
    EXPECT_EQ(stream.CalibrationState(), 0u);
    EXPECT_EQ(stream.CalibrationCountdown(), 0u);
    stream.MakeReady();
    stream.Calibrate();
    EXPECT_EQ(stream.CalibrationState(), 1u);
    EXPECT_EQ(stream.CalibrationCountdown(), 1u);
}

TEST(StreamBase, WriteRecordFrameGoesToTheRecorderHandedIn) {
    TestStream stream;
    const std::vector<uint8_t> data(16, 0xAB);
    EXPECT_EQ(stream.WriteRecordFrame(data.data(), 3, data.data(), 16), 0u) << "no recorder";
    CountingSink sink;
    stream.Attach(nullptr, &sink);
    EXPECT_EQ(stream.WriteRecordFrame(data.data(), 3, data.data(), 16), 1u);
    EXPECT_EQ(stream.WriteRecordFrame(nullptr, 0, data.data(), 16), 2u);
    EXPECT_EQ(sink.bytes, 3u + 16u + 16u);
}

}  // namespace
