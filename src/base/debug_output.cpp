#include "base/debug_output.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "base/string_conversion.h"

namespace zelir {
namespace {

struct DebugSink {
    std::mutex mutex;  // messages come from application and receive threads alike
    ZelIrDebugOutput output = nullptr;
    void* context = nullptr;
};

DebugSink& Sink() {
    static DebugSink sink;
    return sink;
}

bool StderrWanted() {
    static const bool wanted = std::getenv("ZELIR_DEBUG") != nullptr;
    return wanted;
}

}  // namespace

void SetDebugSink(ZelIrDebugOutput output, void* context) {
    DebugSink& sink = Sink();
    std::lock_guard<std::mutex> guard(sink.mutex);
    sink.output = output;
    sink.context = context;
}

void EmitDebugText(const std::string& text) {
    DebugSink& sink = Sink();
    std::lock_guard<std::mutex> guard(sink.mutex);
    if (sink.output != nullptr) {
        sink.output(text.c_str(), sink.context);
    } else if (StderrWanted()) {
        std::fputs(text.c_str(), stderr);
    }
}

}  // namespace zelir

void odtprintf(const wchar_t* format, ...) {
    if (format == nullptr) return;
    std::vector<wchar_t> buffer(1024);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (written >= 0) break;
        // vswprintf gives no length when the text does not fit: grow and try again.
        if (buffer.size() >= 65536) {
            buffer.back() = L'\0';
            break;
        }
        buffer.resize(buffer.size() * 4);
    }
    zelir::EmitDebugText(zelir::WideToUtf8(buffer.data()));
}

void odprintf(const char* format, ...) {
    if (format == nullptr) return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    zelir::EmitDebugText(text);
}
