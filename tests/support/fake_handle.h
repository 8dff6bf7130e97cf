// A manager with a minimal stream, placed in the handle table, for testing exports without a
// camera or a file.
#pragma once

#include <memory>
#include <string>

#include "api/handle_table.h"

namespace zelir_test {

class FakeStream : public CStreamBase {
  public:
    FakeStream(uint32_t code, uint16_t width, uint16_t height) {
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
    const char* GetSourceTag() override { return "IRGBIT"; }

    int* closes = nullptr;  // counts Close calls when set
};

class FakeManager : public CIRDeviceManager {
  public:
    FakeManager(uint32_t handleType, uint32_t streamCode, uint16_t width, uint16_t height,
                const std::wstring& directory) {
        handleType_ = handleType;
        moduleDirectory_ = directory;
        dataDirectory_ = directory;
        InitParameterBlock(parameterBlock_, width, height);
        if (streamCode != 0) AdoptStream(std::make_unique<FakeStream>(streamCode, width, height));
    }
    FakeStream* Fake() { return static_cast<FakeStream*>(Stream()); }
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

  private:
    std::shared_ptr<FakeManager> manager_;
};

}  // namespace zelir_test
