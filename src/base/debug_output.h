// Debug output: one process-wide sink for every diagnostic message of the library.
#pragma once

#include <zelir/zelir.h>

#include <string>

// Wide printf-style message; the text reaches the sink as UTF-8.
void odtprintf(const wchar_t* format, ...);
// 8-bit printf-style message.
void odprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

namespace zelir {
// Installs the sink; null restores the default (silent, or stderr when ZELIR_DEBUG is set).
void SetDebugSink(ZelIrDebugOutput output, void* context);
// Hands one finished message text to the sink.
void EmitDebugText(const std::string& text);
}  // namespace zelir
