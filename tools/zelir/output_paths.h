// Checks on where a command will write, made before it opens a camera or reads a frame.
#pragma once

#include <optional>
#include <string>

namespace zelir_cli {

// Why a file cannot be created at `path` (a directory there, a missing or unwritable folder);
// nullopt when it can.
std::optional<std::string> CheckOutputFile(const std::string& path);
// Why `path` cannot serve as an output folder (a file there, a parent that cannot hold it);
// nullopt when it exists as a writable folder or can be created.
std::optional<std::string> CheckOutputFolder(const std::string& path);

}  // namespace zelir_cli
