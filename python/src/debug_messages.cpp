#include "debug_messages.h"

#include <zelir/zelir.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace zelir_py {
namespace {

// Enough for any one call; older messages are dropped.
constexpr size_t kKeptMessages = 64;

struct MessageLog {
    std::mutex mutex;
    std::deque<std::string> messages;
    uint64_t total = 0;  // messages ever received; the sequence number of the next one
    bool echo = false;
};

MessageLog& Log() {
    static MessageLog log;
    return log;
}

void Collect(const char* text, void* context) {
    auto* log = static_cast<MessageLog*>(context);
    if (log->echo) std::fputs(text, stderr);
    std::lock_guard<std::mutex> guard(log->mutex);
    log->messages.emplace_back(text);
    if (log->messages.size() > kKeptMessages) log->messages.pop_front();
    ++log->total;
}

}  // namespace

void CollectDebugMessages() {
    static std::once_flag once;
    std::call_once(once, [] {
        MessageLog& log = Log();
        log.echo = std::getenv("ZELIR_DEBUG") != nullptr;  // as the library does without a sink
        ZelIr_SetDebugOutput(&Collect, &log);
    });
}

uint64_t DebugMark() {
    MessageLog& log = Log();
    std::lock_guard<std::mutex> guard(log.mutex);
    return log.total;
}

std::string DebugSince(uint64_t mark) {
    MessageLog& log = Log();
    std::lock_guard<std::mutex> guard(log.mutex);
    const uint64_t first = log.total - log.messages.size();
    std::string text;
    for (uint64_t i = std::max(mark, first); i < log.total; ++i) {
        std::string message = log.messages[i - first];
        while (!message.empty() && message.back() == '\n') message.pop_back();
        text += text.empty() ? message : "; " + message;
    }
    return text;
}

void Fail(const std::string& what, uint64_t mark) {
    const std::string messages = DebugSince(mark);
    throw LibraryError(messages.empty() ? what : what + ": " + messages);
}

}  // namespace zelir_py
