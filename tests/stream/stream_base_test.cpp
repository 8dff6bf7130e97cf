// The shared behaviour of every frame source.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
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
    void StartRecording(FILE* file) {
        recordFile_ = file;
        recording_ = 1;
    }
    FILE* StopRecording() {
        recording_ = 0;
        FILE* file = recordFile_;
        recordFile_ = nullptr;
        return file;
    }
};

TEST(StreamBase, FreshStreamDefaults) {
    TestStream stream;
    EXPECT_FLOAT_EQ(stream.GetFrameRate(), 25.0f);
    EXPECT_EQ(stream.GetWidth(), 0);
    EXPECT_EQ(stream.GetHeight(), 0);
    EXPECT_EQ(stream.StreamTypeCode(), 0u);
    EXPECT_EQ(stream.IsOpen(), 0u);
    EXPECT_EQ(stream.IsPaused(), 0u);
    FrameRecord* record = stream.GetFrameRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->imageBytes, 0u);
    EXPECT_EQ(record->pixelKind, 0u);
    EXPECT_EQ(record->bytesPerPixel, 2u);
    EXPECT_EQ(record->Bytes().size(), 2626560u);
}

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

TEST(StreamBase, PauseFlag) {
    TestStream stream;
    stream.SetPause(1);
    EXPECT_EQ(stream.IsPaused(), 1u);
    stream.Resume();
    EXPECT_EQ(stream.IsPaused(), 0u);
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

TEST(StreamBase, CalibrationRequests) {
    TestStream stream;
    stream.RequestLowPoint();
    EXPECT_EQ(stream.CalibrationRequest(), 3u);
    stream.RequestHighPoint();
    EXPECT_EQ(stream.CalibrationRequest(), 4u);
}

TEST(StreamBase, WriteRecordFrameWritesOnlyWhileRecording) {
    TestStream stream;
    const std::vector<uint8_t> header = {1, 2, 3};
    const std::vector<uint8_t> data(16, 0xAB);
    stream.WriteRecordFrame(header.data(), 3, data.data(), 16);
    EXPECT_EQ(stream.RecordedFrames(), 0u);

    const std::string path =
        (std::filesystem::temp_directory_path() / ("zelir-rec-" + std::to_string(getpid())))
            .string();
    stream.StartRecording(std::fopen(path.c_str(), "wb"));
    EXPECT_EQ(stream.WriteRecordFrame(header.data(), 3, data.data(), 16), 1u);
    EXPECT_EQ(stream.WriteRecordFrame(nullptr, 0, data.data(), 16), 2u);
    std::fclose(stream.StopRecording());
    EXPECT_EQ(std::filesystem::file_size(path), 3u + 16u + 16u);
    std::filesystem::remove(path);
}

}  // namespace
