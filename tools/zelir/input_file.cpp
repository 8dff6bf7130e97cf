#include "input_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace zelir_cli {

std::optional<std::string> CheckInputFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) return "cannot open " + path + ": " + error.message();
    if (fs::is_directory(status)) return path + " is a directory";
    if (!fs::is_regular_file(status)) return path + " is not a regular file";
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot open " + path + ": " + std::strerror(errno);
    return std::nullopt;
}

}  // namespace zelir_cli
