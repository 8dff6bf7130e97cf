#include "coefficient_file.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/debug_output.h"
#include "base/unique_file.h"
#include "fnv1a.h"
#include "formats/file_io.h"

namespace zelir::arith {

static_assert(std::endian::native == std::endian::little, "files are little-endian");

namespace {

constexpr char kMagic[8] = {'Z', 'E', 'L', 'I', 'R', 'N', 'U', 'C'};
constexpr std::uint32_t kVersion = 1;

using File = zelir::UniqueFile;

std::uint32_t PayloadChecksum(const CoefficientSet& set) {
    std::uint32_t hash = kFnv1aStart;
    hash = Fnv1a(hash, set.tables.gain.data(), set.tables.gain.size() * sizeof(float));
    hash = Fnv1a(hash, set.tables.offset.data(), set.tables.offset.size() * sizeof(float));
    return Fnv1a(hash, set.badMask.data(), set.badMask.size());
}

Status Refuse(const std::string& path, const char* reason) {
    odprintf("ZelIrArith: ignored coefficient file %s (%s)\n", path.c_str(), reason);
    return Status::kBadData;
}

}  // namespace

void FillSerial(char (&field)[64], const std::string& serial) {
    std::memset(field, 0, sizeof(field));
    std::memcpy(field, serial.data(), std::min(serial.size(), sizeof(field) - 1));
}

std::string SerialFileText(const std::string& serial) {
    std::string text;
    for (char c : serial) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                           (c >= 'a' && c <= 'z') || c == '-' || c == '.';
        text += plain ? c : '_';
    }
    return text;
}

std::string CoefficientFilePath(const std::string& dataDirectory, const std::string& serial,
                                int channel) {
    if (dataDirectory.empty() || serial.empty()) return {};
    const std::string name =
        "arith_" + SerialFileText(serial) + "_ch" + std::to_string(channel) + ".nuc";
    const bool separated = dataDirectory.back() == '/';
    return dataDirectory + (separated ? "" : "/") + name;
}

Status SaveCoefficients(const std::string& path, const std::string& serial, int channel, int w,
                        int h, const CoefficientSet& set) {
    if (path.empty()) return Status::kInvalidArgument;
    CoefficientFileHeader header{};
    std::memcpy(header.magic, kMagic, sizeof(kMagic));
    header.version = kVersion;
    header.width = static_cast<std::uint32_t>(w);
    header.height = static_cast<std::uint32_t>(h);
    header.channel = static_cast<std::uint32_t>(channel);
    header.checksum = PayloadChecksum(set);
    FillSerial(header.serial, serial);

    files::FileWriter file(path, files::WriteMode::kReplace);
    file.WriteStruct(header);
    file.WriteArray(std::span<const float>(set.tables.gain));
    file.WriteArray(std::span<const float>(set.tables.offset));
    file.Write(set.badMask);
    if (file.Finish() == files::FileResult::kOk) return Status::kOk;
    odprintf("ZelIrArith: could not save coefficient file %s\n", path.c_str());
    return Status::kIoError;
}

Status LoadCoefficients(const std::string& path, const std::string& serial, int channel, int w,
                        int h, CoefficientSet& set) {
    if (path.empty()) return Status::kNotFound;
    File file{std::fopen(path.c_str(), "rb")};
    if (!file) {
        if (errno == ENOENT) return Status::kNotFound;
        (void)Refuse(path, "cannot open");
        return Status::kCannotOpen;
    }
    const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    std::fseek(file.get(), 0, SEEK_END);
    const long length = std::ftell(file.get());
    std::fseek(file.get(), 0, SEEK_SET);
    if (length < 0 || static_cast<std::size_t>(length) != sizeof(CoefficientFileHeader) + 9 * n) {
        return Refuse(path, "wrong size");
    }
    CoefficientFileHeader header;
    if (std::fread(&header, sizeof(header), 1, file.get()) != 1 ||
        std::memcmp(header.magic, kMagic, sizeof(kMagic)) != 0 || header.version != kVersion) {
        return Refuse(path, "not a coefficient file");
    }
    char expected[64];
    FillSerial(expected, serial);
    if (std::memcmp(header.serial, expected, sizeof(expected)) != 0) {
        return Refuse(path, "other camera");
    }
    if (header.width != static_cast<std::uint32_t>(w) ||
        header.height != static_cast<std::uint32_t>(h) ||
        header.channel != static_cast<std::uint32_t>(channel)) {
        return Refuse(path, "other geometry or channel");
    }
    CoefficientSet read;
    read.tables.gain.resize(n);
    read.tables.offset.resize(n);
    read.badMask.resize(n);
    if (std::fread(read.tables.gain.data(), sizeof(float), n, file.get()) != n ||
        std::fread(read.tables.offset.data(), sizeof(float), n, file.get()) != n ||
        std::fread(read.badMask.data(), 1, n, file.get()) != n) {
        return Refuse(path, "wrong size");
    }
    if (PayloadChecksum(read) != header.checksum) return Refuse(path, "bad checksum");
    set = std::move(read);
    return Status::kOk;
}

void RemoveCoefficients(const std::string& path) {
    if (!path.empty()) std::remove(path.c_str());
}

}  // namespace zelir::arith
