#include "radiometry_file.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "arith/coefficient_file.h"
#include "arith/fnv1a.h"
#include "base/unique_file.h"
#include "formats/file_io.h"
#include "response_curve.h"

namespace zelir::radiometry {

static_assert(std::endian::native == std::endian::little, "files are little-endian");

namespace {

constexpr char kMagic[8] = {'Z', 'E', 'L', 'I', 'R', 'R', 'A', 'D'};
constexpr std::uint32_t kVersion = 1;

using File = zelir::UniqueFile;

std::uint32_t Checksum(const RadiometryRecord& record) {
    return arith::Fnv1a(arith::kFnv1aStart, &record, sizeof record);
}

LoadResult Refuse(std::string& reason, const char* why) {
    reason = why;
    return LoadResult::kRefused;
}

}  // namespace

std::string CameraFilePath(const std::string& dataDirectory, const std::string& serial) {
    if (dataDirectory.empty() || serial.empty()) return {};
    const bool separated = dataDirectory.back() == '/';
    return dataDirectory + (separated ? "" : "/") + "radiometry_" + arith::SerialFileText(serial) +
           ".cal";
}

std::string CompanionPath(const std::string& file) {
    return file + ".rad";
}

Status SaveRecord(const std::string& path, const std::string& serial,
                  const RadiometryRecord& record) {
    if (path.empty()) return Status::kInvalidArgument;
    RadiometryFileHeader header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kVersion;
    header.checksum = Checksum(record);
    arith::FillSerial(header.serial, serial);
    files::FileWriter file(path, files::WriteMode::kReplace);
    file.WriteStruct(header);
    file.WriteStruct(record);
    return file.Finish() == files::FileResult::kOk ? Status::kOk : Status::kIoError;
}

LoadResult LoadRecord(const std::string& path, const std::string& serial, RadiometryRecord& record,
                      std::string& reason) {
    if (path.empty()) return LoadResult::kMissing;
    File file{std::fopen(path.c_str(), "rb")};
    if (!file) return errno == ENOENT ? LoadResult::kMissing : Refuse(reason, "cannot open");
    RadiometryFileHeader header;
    RadiometryRecord read;
    char extra;
    if (std::fread(&header, sizeof header, 1, file.get()) != 1 ||
        std::fread(&read, sizeof read, 1, file.get()) != 1 ||
        std::fread(&extra, 1, 1, file.get()) != 0) {
        return Refuse(reason, "wrong size");
    }
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kVersion) {
        return Refuse(reason, "not a radiometry file");
    }
    if (Checksum(read) != header.checksum) return Refuse(reason, "bad checksum");
    char expected[64];
    arith::FillSerial(expected, serial);
    if (!serial.empty() && std::memcmp(header.serial, expected, sizeof expected) != 0) {
        return Refuse(reason, "other camera");
    }
    if (!ValidConstants(read.constants) || !ValidObject(read.object)) {
        return Refuse(reason, "invalid values");
    }
    record = read;
    return LoadResult::kLoaded;
}

}  // namespace zelir::radiometry
