// S-record files to binary images: one file, or a hardware and a software part combined.
#include <zelir/zelir.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "base/guarded_call.h"
#include "formats/srec_image.h"

namespace {

using zelir::SrecImage;

constexpr size_t kMaxPathLength = 256;

// x.flash -> x.bin. The dot is the first one of the file name: directories may contain dots
// on Linux ("./", "~/.local"), which must not make an otherwise good name fail.
std::optional<std::string> PartBinaryName(const char* path) {
    if (path == nullptr) return std::nullopt;
    const char* slash = std::strrchr(path, '/');
    const char* dot = std::strchr(slash != nullptr ? slash + 1 : path, '.');
    if (dot == nullptr || std::strcmp(dot, ".flash") != 0) return std::nullopt;
    std::string name(path, static_cast<size_t>(dot - path) + 1);
    name += "bin";
    if (name.size() + 1 > kMaxPathLength) return std::nullopt;
    return name;
}

// Converts one part and writes its binary file beside it; nullopt when its name is not
// *.flash or it holds too much data.
std::optional<SrecImage> ConvertPart(const char* path) {
    const std::optional<std::string> binaryName = PartBinaryName(path);
    if (!binaryName) return std::nullopt;
    SrecImage image = zelir::ReadSrecImage(path);
    if (image.refused) return std::nullopt;
    zelir::WriteBinaryImage(binaryName->c_str(), image.view());
    return image;
}

// The hardware part must lie wholly below the software part. Summed in 64 bits so that a part
// ending past 4 GiB cannot wrap round and pass.
bool PartsInOrder(const SrecImage& hardware, const SrecImage& software) {
    return hardware.start <= software.start &&
           uint64_t{hardware.start} + hardware.length <= software.start;
}

void HandOut(std::unique_ptr<uint8_t[]> bytes, uint8_t** image) {
    if (image != nullptr) *image = bytes.release();
}

}  // namespace

size_t SrecToBin(const char* srecPath, uint32_t* start, uint8_t** image, const char* binPath) {
    return zelir::Guarded(size_t{0}, [&] {
        SrecImage converted = zelir::ReadSrecImage(srecPath);
        if (start != nullptr) *start = converted.start;
        if (binPath != nullptr && !converted.refused)
            zelir::WriteBinaryImage(binPath, converted.view());
        HandOut(std::move(converted.bytes), image);
        return converted.length;
    });
}

namespace {

size_t CombineParts(const char* hardwarePath, const char* softwarePath, uint32_t* start,
                    uint8_t** image, const char* binPath) {
    const std::optional<SrecImage> hardware = ConvertPart(hardwarePath);
    if (!hardware) return 0;
    const std::optional<SrecImage> software = ConvertPart(softwarePath);
    if (!software || !PartsInOrder(*hardware, *software)) return 0;

    const size_t length = hardware->length + software->length;
    auto combined = std::make_unique_for_overwrite<uint8_t[]>(std::max<size_t>(length, 1));
    std::ranges::copy(hardware->view(), combined.get());
    std::ranges::copy(software->view(), combined.get() + hardware->length);
    if (start != nullptr) *start = hardware->start;
    if (binPath != nullptr) zelir::WriteBinaryImage(binPath, {combined.get(), length});
    HandOut(std::move(combined), image);
    return length;
}

}  // namespace

size_t SrecCombinedToBin(const char* hardwarePath, const char* softwarePath, uint32_t* start,
                         uint8_t** image, const char* binPath) {
    return zelir::Guarded(
        size_t{0}, [&] { return CombineParts(hardwarePath, softwarePath, start, image, binPath); });
}

uint32_t ZelIr_SrecCombinedToBin(ZelIrHandle /*handle*/, const char* hardwarePath,
                                 const char* softwarePath, uint32_t* start, uint8_t** image,
                                 const char* binPath) {
    return static_cast<uint32_t>(
        SrecCombinedToBin(hardwarePath, softwarePath, start, image, binPath));
}

void ZelIr_FreeSrecImage(uint8_t* image) {
    delete[] image;
}
