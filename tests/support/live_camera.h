// A camera opened through the public interface as the namespace tests watch it: new frames,
// its data folder and the files the library keeps there.
#pragma once

#include <zelir/zelir.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace zelir::test {

// Fetches until `count` frames newer than the current one have arrived; false when `limit`
// passes first. Adds the fetches that succeeded to `fetches`.
inline bool NewFrames(void* h, uint32_t count = 1,
                      std::chrono::milliseconds limit = std::chrono::seconds(3),
                      int* fetches = nullptr) {
    const uint32_t first = ZelIr_GetFrameID(h);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ZelIr_GetNewArray(h) == 1) {
            if (fetches != nullptr) ++*fetches;
            if (ZelIr_GetFrameID(h) - first >= count) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

inline std::filesystem::path DataFolder(void* h) {
    wchar_t path[256] = {};
    ZelIr_GetDeviceConPath(h, path);
    return std::filesystem::path(path);
}

// The files of `folder` named PREFIX...SUFFIX.
inline std::vector<std::filesystem::path> FilesNamed(const std::filesystem::path& folder,
                                                     const std::string& prefix,
                                                     const std::string& suffix = "") {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() >= prefix.size() + suffix.size() && name.rfind(prefix, 0) == 0 &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            found.push_back(entry.path());
        }
    }
    return found;
}

}  // namespace zelir::test
