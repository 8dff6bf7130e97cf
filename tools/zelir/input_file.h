// Input files named on the command line: refused with the reason before anything is read, so
// a directory, a FIFO or a device never reaches a reader.
#pragma once

#include <optional>
#include <string>

namespace zelir_cli {

// Empty when `path` is a regular file that can be opened; otherwise the message to show
// ("PATH is a directory", "cannot read PATH: No such file or directory", ...).
std::optional<std::string> CheckInputFile(const std::string& path);

}  // namespace zelir_cli
