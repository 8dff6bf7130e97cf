#include "coefficient_file.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/debug_output.h"
#include "base/unique_file.h"

namespace zelir::arith {

static_assert(std::endian::native == std::endian::little, "files are little-endian");

namespace {

constexpr char kMagic[8] = {'Z', 'E', 'L', 'I', 'R', 'N', 'U', 'C'};
constexpr std::uint32_t kVersion = 1;

using File = zelir::UniqueFile;

std::uint32_t Fnv1a(std::uint32_t hash, const void* data, std::size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < bytes; ++i) hash = (hash ^ p[i]) * 16777619u;
    return hash;
}

std::uint32_t PayloadChecksum(const CoefficientSet& set) {
    std::uint32_t hash = 2166136261u;
    hash = Fnv1a(hash, set.tables.gain.data(), set.tables.gain.size() * sizeof(float));
    hash = Fnv1a(hash, set.tables.offset.data(), set.tables.offset.size() * sizeof(float));
    return Fnv1a(hash, set.badMask.data(), set.badMask.size());
}

void FillSerial(char (&field)[64], const std::string& serial) {
    std::memset(field, 0, sizeof(field));
    std::memcpy(field, serial.data(), std::min(serial.size(), sizeof(field) - 1));
}

bool Refuse(const std::string& path, const char* reason) {
    odprintf("ZelIrArith: ignored coefficient file %s (%s)\n", path.c_str(), reason);
    return false;
}

}  // namespace

std::string CoefficientFilePath(const std::string& dataDirectory, const std::string& serial,
                                int channel) {
    if (dataDirectory.empty() || serial.empty()) return {};
    std::string name = "arith_";
    for (char c : serial) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                           (c >= 'a' && c <= 'z') || c == '-' || c == '.';
        name += plain ? c : '_';
    }
    name += "_ch" + std::to_string(channel) + ".nuc";
    const bool separated = dataDirectory.back() == '/';
    return dataDirectory + (separated ? "" : "/") + name;
}

bool SaveCoefficients(const std::string& path, const std::string& serial, int channel, int w, int h,
                      const CoefficientSet& set) {
    if (path.empty()) return false;
    CoefficientFileHeader header{};
    std::memcpy(header.magic, kMagic, sizeof(kMagic));
    header.version = kVersion;
    header.width = static_cast<std::uint32_t>(w);
    header.height = static_cast<std::uint32_t>(h);
    header.channel = static_cast<std::uint32_t>(channel);
    header.checksum = PayloadChecksum(set);
    FillSerial(header.serial, serial);

    const std::string temporary = path + ".tmp";
    bool written = false;
    if (File file{std::fopen(temporary.c_str(), "wb")}) {
        const std::size_t n = set.badMask.size();
        written = std::fwrite(&header, sizeof(header), 1, file.get()) == 1 &&
                  std::fwrite(set.tables.gain.data(), sizeof(float), n, file.get()) == n &&
                  std::fwrite(set.tables.offset.data(), sizeof(float), n, file.get()) == n &&
                  std::fwrite(set.badMask.data(), 1, n, file.get()) == n &&
                  std::fflush(file.get()) == 0;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    odprintf("ZelIrArith: could not save coefficient file %s\n", path.c_str());
    return false;
}

bool LoadCoefficients(const std::string& path, const std::string& serial, int channel, int w, int h,
                      CoefficientSet& set) {
    if (path.empty()) return false;
    File file{std::fopen(path.c_str(), "rb")};
    if (!file) {
        if (errno != ENOENT) Refuse(path, "cannot open");
        return false;
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
    return true;
}

void RemoveCoefficients(const std::string& path) {
    if (!path.empty()) std::remove(path.c_str());
}

}  // namespace zelir::arith
