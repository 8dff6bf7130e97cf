// The tests' one frame source and manager: a source of a given type and geometry whose command
// sends are recorded and whose answers follow a script, owned by a manager placed in the handle
// table, so that exports and the layers above the stream run without a camera or a file.
#pragma once

#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/handle_table.h"
#include "gige/command_message.h"

namespace zelir_test {

class FakeSource : public CStreamBase {
  public:
    using Bytes = std::vector<uint8_t>;

    FakeSource(uint32_t code, uint16_t width, uint16_t height) {
        streamType_ = code;
        width_ = width;
        height_ = height;
        open_ = 1;
    }
    FrameRecord* GetFrame(uint32_t) override { return frameRecord_.get(); }
    int32_t Open() override { return open_ = 1; }
    void Close() override {
        open_ = 0;
        if (closes != nullptr) ++*closes;
    }
    const char* GetSourceTag() override { return SourceTagOfType(); }
    zelir::gige::CommandMessage* Commands() override { return &commands; }
    // Records the frame; succeeds unless the script says otherwise.
    bool SendCommand(const uint8_t* command, uint32_t length) override {
        sent.emplace_back(command, command + length);
        if (sendResults.empty()) return true;
        const bool ok = sendResults.front();
        sendResults.pop_front();
        return ok;
    }
    // The next scripted answer, cut to the caller's capacity; none (or an empty entry) fails.
    uint8_t ReceiveCommand(uint8_t* destination, uint32_t* length, uint16_t*) override {
        if (replies.empty()) return 0;
        const std::optional<Bytes> reply = replies.front();
        replies.pop_front();
        if (!reply) return 0;
        *length = std::min<uint32_t>(*length, static_cast<uint32_t>(reply->size()));
        std::copy_n(reply->begin(), *length, destination);
        return 1;
    }
    // What the camera would report for an array transfer (percent of the array sent).
    uint32_t TransmitArray(const uint8_t*, uint32_t, uint32_t) override { return transferred; }
    void MakeReady() { sourceStatus_ = kSourceReady; }

    int* closes = nullptr;  // counts Close calls when set
    uint32_t transferred = 0;
    zelir::gige::CommandMessage commands;
    std::deque<bool> sendResults;
    std::deque<std::optional<Bytes>> replies;
    std::vector<Bytes> sent;

  private:
    const char* SourceTagOfType() const { return streamType_ == kStreamGigE ? "IRGIGE" : "IRGBIT"; }
};

class FakeManager : public CIRDeviceManager {
  public:
    FakeManager(uint32_t handleType, uint32_t streamCode, uint16_t width, uint16_t height,
                const std::wstring& directory) {
        handleType_ = handleType;
        moduleDirectory_ = directory;
        dataDirectory_ = directory;
        InitParameterBlock(parameterBlock_, width, height);
        if (streamCode != 0) AdoptStream(std::make_unique<FakeSource>(streamCode, width, height));
    }
    FakeSource* Fake() { return static_cast<FakeSource*>(Stream()); }
};

// Puts a fake manager into the lowest free slot and removes it again.
class ScopedHandle {
  public:
    ScopedHandle(uint32_t handleType, uint32_t streamCode, uint16_t width, uint16_t height,
                 const std::wstring& directory = L"/nonexistent-zelir/")
        : manager_(
              std::make_shared<FakeManager>(handleType, streamCode, width, height, directory)) {
        zelir::PlaceManager(manager_);
    }
    ~ScopedHandle() { zelir::RemoveManager(manager_.get()); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    ZelIrHandle handle() const { return manager_.get(); }
    FakeManager* manager() const { return manager_.get(); }
    FakeSource& source() const { return *manager_->Fake(); }

  private:
    std::shared_ptr<FakeManager> manager_;
};

}  // namespace zelir_test
