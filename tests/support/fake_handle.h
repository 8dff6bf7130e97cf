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
    void Close() override { open_ = 0; }
    const char* GetSourceTag() override { return "IRGBIT"; }
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
        : manager_(new FakeManager(handleType, streamCode, width, height, directory)) {
        zelir::HandleTable()[zelir::FindFreeSlot()] = manager_;
    }
    ~ScopedHandle() {
        const int slot = zelir::FindSlot(manager_);
        if (slot >= 0) {
            zelir::HandleTable()[slot] = nullptr;
            delete manager_;
        }
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    ZelIrHandle handle() const { return manager_; }
    FakeManager* manager() const { return manager_; }

  private:
    FakeManager* manager_;
};

}  // namespace zelir_test
