// Collects every debug message of the library while in scope (tests only).
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "base/debug_output.h"

namespace zelir::test {

class DebugCapture {
  public:
    DebugCapture() { zelir::SetDebugSink(&DebugCapture::Collect, this); }
    ~DebugCapture() { zelir::SetDebugSink(nullptr, nullptr); }
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
