// The library's debug messages, collected so that a failed call can say why: every failure is
// raised as zelir.Error carrying the messages the library printed during the call.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace zelir_py {

// Raised as zelir.Error.
class LibraryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Installs the collecting sink (once per process); with ZELIR_DEBUG set the messages still
// reach stderr as well.
void CollectDebugMessages();

// A point in the message stream; Since() gives the text printed after it.
uint64_t DebugMark();
std::string DebugSince(uint64_t mark);

// Throws LibraryError: `what`, followed by the messages printed since `mark`.
[[noreturn]] void Fail(const std::string& what, uint64_t mark);

}  // namespace zelir_py
