// The radiometric state on disk: per camera serial in the data directory
// ("radiometry_<serial>.cal"), and beside recorded movies and saved images ("<file>.rad").
//
// Layout (little-endian): an 80-byte header naming the camera and carrying an FNV-1a checksum
// of the 40-byte record after it: the constants, then the object parameters.
#pragma once

#include <zelir/zelir.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/status.h"

namespace zelir::radiometry {

struct __attribute__((packed)) RadiometryFileHeader {
    char magic[8];  // "ZELIRRAD"
    std::uint32_t version;
    std::uint32_t checksum;
    char serial[64];  // NUL-padded; the camera the constants belong to
};
static_assert(sizeof(RadiometryFileHeader) == 80);
static_assert(offsetof(RadiometryFileHeader, checksum) == 12);
static_assert(offsetof(RadiometryFileHeader, serial) == 16);

struct __attribute__((packed)) RadiometryRecord {
    ZelIrRadiometry constants;
    ZelIrObjectParams object;
};
static_assert(sizeof(RadiometryRecord) == 40);
static_assert(offsetof(RadiometryRecord, object) == 24);

// Empty when nothing can be kept: no data directory or no serial text.
std::string CameraFilePath(const std::string& dataDirectory, const std::string& serial);
// The companion of a movie or image file.
std::string CompanionPath(const std::string& file);

// Written to a temporary file and renamed, so a crash never leaves half a file behind.
// kInvalidArgument without a path, kIoError when it cannot be written.
Status SaveRecord(const std::string& path, const std::string& serial,
                  const RadiometryRecord& record);

enum class LoadResult { kLoaded, kMissing, kRefused };
// `serial` empty accepts a file of any camera. On kRefused, `reason` says why.
LoadResult LoadRecord(const std::string& path, const std::string& serial, RadiometryRecord& record,
                      std::string& reason);

}  // namespace zelir::radiometry
