// What every frame source shares: the save folder, calibration start and the recorder hand-off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_handle.h"

namespace {

using zelir_test::FakeSource;

TEST(StreamBase, SaveDirectoryGetsItsSlashAndRefusesOverlongPaths) {
    const struct {
        std::wstring given, stored;
    } cases[] = {
        {L"/tmp/data", L"/tmp/data/"},
        {L"/tmp/data/", L"/tmp/data/"},
        {std::wstring(255, L'a'), std::wstring(255, L'a') + L"/"},
        {std::wstring(256, L'a'), L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        FakeSource stream(kStreamGigE, 8, 4);
        stream.SetSaveDirectory(c.given.c_str());
        EXPECT_EQ(stream.SaveDirectory(), c.stored) << c.given.size();
    }
}

TEST(StreamBase, CalibrateStartsOnlyWhenReady) {
    FakeSource stream(kStreamGigE, 8, 4);
    stream.Calibrate();
    EXPECT_EQ(stream.CalibrationState(), 0u);
    EXPECT_EQ(stream.CalibrationCountdown(), 0u);
    stream.MakeReady();
    stream.Calibrate();
    EXPECT_EQ(stream.CalibrationState(), 1u);
    EXPECT_EQ(stream.CalibrationCountdown(), 1u);
}

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

TEST(StreamBase, WriteRecordFrameGoesToTheRecorderHandedIn) {
    FakeSource stream(kStreamGigE, 8, 4);
    const std::vector<uint8_t> data(16, 0xAB);
    EXPECT_EQ(stream.WriteRecordFrame(data.data(), 3, data.data(), 16), 0u) << "no recorder";
    CountingSink sink;
    stream.Attach(nullptr, &sink);
    EXPECT_EQ(stream.WriteRecordFrame(data.data(), 3, data.data(), 16), 1u);
    EXPECT_EQ(stream.WriteRecordFrame(nullptr, 0, data.data(), 16), 2u);
    EXPECT_EQ(sink.bytes, 3u + 16u + 16u);
}

}  // namespace
