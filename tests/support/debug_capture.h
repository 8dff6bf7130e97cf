// Collects every debug message of the library while in scope (tests only).
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include <zelir/zelir.h>

namespace zelir::test {

class DebugCapture {
  public:
    DebugCapture() { ZelIr_SetDebugOutput(&DebugCapture::Collect, this); }
    ~DebugCapture() { ZelIr_SetDebugOutput(nullptr, nullptr); }
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::string> Messages() {
        std::lock_guard<std::mutex> guard(mutex_);
        return messages_;
    }
    size_t CountOf(const std::string& text) {
        std::lock_guard<std::mutex> guard(mutex_);
        return static_cast<size_t>(std::count(messages_.begin(), messages_.end(), text));
    }
    // Messages that contain `part`.
    size_t CountContaining(const std::string& part) {
        std::lock_guard<std::mutex> guard(mutex_);
        return static_cast<size_t>(std::count_if(
            messages_.begin(), messages_.end(),
            [&part](const std::string& m) { return m.find(part) != std::string::npos; }));
    }
    void Clear() {
        std::lock_guard<std::mutex> guard(mutex_);
        messages_.clear();
    }

  private:
    static void Collect(const char* text, void* context) {
        auto* self = static_cast<DebugCapture*>(context);
        std::lock_guard<std::mutex> guard(self->mutex_);
        self->messages_.emplace_back(text);
    }

    std::mutex mutex_;
    std::vector<std::string> messages_;
};

}  // namespace zelir::test
