#include "output_paths.h"

#include <unistd.h>

#include <filesystem>

namespace zelir_cli {
namespace {

namespace fs = std::filesystem;

// The nearest folder that exists at or above `path`'s parent.
fs::path ExistingParent(const fs::path& path) {
    fs::path parent = fs::absolute(path).parent_path();
    std::error_code error;
    while (!parent.empty() && !fs::exists(parent, error) && parent != parent.root_path()) {
        parent = parent.parent_path();
    }
    return parent;
}

bool Writable(const fs::path& folder) {
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::optional<std::string> CheckOutputFile(const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) return path + " is a directory; give a file name";
    const fs::path parent = fs::absolute(path).parent_path();
    if (!fs::is_directory(parent, error)) {
        return "cannot write " + path + ": folder " + parent.string() + " does not exist";
    }
    if (!Writable(parent)) return "cannot write " + path + ": folder is not writable";
    return std::nullopt;
}

std::optional<std::string> CheckOutputFolder(const std::string& path) {
    std::error_code error;
    if (fs::exists(path, error) && !fs::is_directory(path, error)) {
        return path + " exists and is not a folder";
    }
    const fs::path folder = fs::is_directory(path, error) ? fs::path(path) : ExistingParent(path);
    if (!fs::is_directory(folder, error) || !Writable(folder)) {
        return "cannot create files in " + path + ": " + folder.string() + " is not writable";
    }
    return std::nullopt;
}

}  // namespace zelir_cli
