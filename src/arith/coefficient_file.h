// Coefficient sets of the calibration channels, one file per camera serial text and channel in
// the data directory: "arith_<serial>_ch<channel>.nuc".
//
// Layout (little-endian): a 96-byte header, then gain (f32 x pixels), offset (f32 x pixels) and
// the bad-pixel mask (u8 x pixels). The header names the camera, the channel and the geometry,
// and carries an FNV-1a checksum of everything after it, so that a file of another camera, of
// another size or damaged on disk is never applied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "frame_correction.h"

#include "base/status.h"

namespace zelir::arith {

struct __attribute__((packed)) CoefficientFileHeader {
    char magic[8];  // "ZELIRNUC"
    std::uint32_t version;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t channel;
    std::uint32_t checksum;
    std::uint32_t reserved;
    char serial[64];  // NUL-padded, at most 63 bytes of the serial text
};
static_assert(sizeof(CoefficientFileHeader) == 96);
static_assert(offsetof(CoefficientFileHeader, version) == 8);
static_assert(offsetof(CoefficientFileHeader, checksum) == 24);
static_assert(offsetof(CoefficientFileHeader, serial) == 32);

struct CoefficientSet {
    CorrectionTables tables;
    std::vector<std::uint8_t> badMask;
};

// The serial text in a file header's 64-byte field: cut to 63 bytes, zero-filled.
void FillSerial(char (&field)[64], const std::string& serial);

// The serial text as a part of a file name: anything but letters, digits, '-' and '.' becomes '_'.
std::string SerialFileText(const std::string& serial);

// Empty when the set cannot be kept: no data directory or no serial text.
std::string CoefficientFilePath(const std::string& dataDirectory, const std::string& serial,
                                int channel);

// Written to a temporary file and renamed, so a crash never leaves half a set behind.
// kInvalidArgument without a path, kIoError (with a debug message) when it cannot be written.
Status SaveCoefficients(const std::string& path, const std::string& serial, int channel, int w,
                        int h, const CoefficientSet& set);

// kOk when a valid set for this camera, channel and size was read. A missing file is kNotFound
// and silent; kCannotOpen and kBadData come with a debug message.
Status LoadCoefficients(const std::string& path, const std::string& serial, int channel, int w,
                        int h, CoefficientSet& set);

void RemoveCoefficients(const std::string& path);

}  // namespace zelir::arith
