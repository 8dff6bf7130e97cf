// Savers of the current image: combined image file (with its raw companion), plain BMP, and a
// combined file around a caller's own 8-bit image.
#include <optional>
#include <span>
#include <vector>

#include "base/string_conversion.h"
#include "device/device_manager.h"
#include "formats/bmp_file.h"
#include "formats/combined_image.h"
#include "formats/raw_image.h"

namespace files = zelir::files;

namespace {

std::filesystem::path NativePath(const wchar_t* path) {
    return std::filesystem::path(zelir::WideToUtf8(path));
}

}  // namespace

using zelir::Status;

namespace {

Status SavedAs(files::FileResult result) {
    return result == files::FileResult::kOk ? Status::kOk : Status::kIoError;
}

}  // namespace

// The current image as a BMP part: the digit array mapped to 8 bits with the handle's palette.
Status CIRDeviceManager::BuildCurrentBitmap(std::vector<uint8_t>& bitmap) {
    const ZelIrParameterBlock& block = parameterBlock_;
    std::vector<uint8_t> pixels(size_t{block.width} * block.height);
    if (pixels.empty() || MapToY8(reinterpret_cast<const uint16_t*>(GetDigitArray()), pixels.data(),
                                  0, nullptr) == 0) {
        return Status::kInvalidArgument;
    }
    const BITMAPINFOHEADER info = files::CurrentImageInfoHeader(block.width, block.height);
    return files::BuildBitmap(info, paletteTable_, pixels, bitmap) == files::FileResult::kOk
               ? Status::kOk
               : Status::kInvalidArgument;
}

Status CIRDeviceManager::SaveCurrentImage(const wchar_t* path, bool companionRaw) {
    if (!stream_) return Status::kNotOpen;
    std::vector<uint8_t> bitmap;
    if (path == nullptr) return Status::kInvalidArgument;
    if (const Status built = BuildCurrentBitmap(bitmap); built != Status::kOk) return built;
    const ZelIrParameterBlock* block = &parameterBlock_;
    const std::span<const uint8_t> digits(GetDigitArray(),
                                          size_t{block->width} * block->height * 2);
    files::CombinedImageContent content{bitmap, block, std::nullopt, digits, {}};
    if (AnalysisBlockLength() > 0) content.analysis = {AnalysisBlock(), AnalysisBlockLength()};
    const std::filesystem::path target = NativePath(path);
    const Status saved = SavedAs(files::WriteCombinedImageFile(target, content));
    // The raw companion is a convenience beside the image; the image alone is what was asked.
    if (saved == Status::kOk && companionRaw) {
        (void)files::WriteRawImageFile(files::CompanionRawPath(target), digits);
    }
    return saved;
}

Status CIRDeviceManager::SaveCurrentImageAsBmp(const wchar_t* path) {
    if (!stream_) return Status::kNotOpen;
    std::vector<uint8_t> bitmap;
    if (path == nullptr) return Status::kInvalidArgument;
    if (const Status built = BuildCurrentBitmap(bitmap); built != Status::kOk) return built;
    return SavedAs(files::WriteBitmapFile(NativePath(path), bitmap));
}

Status CIRDeviceManager::SaveCallerImage(const wchar_t* path, const BITMAPINFOHEADER* info,
                                         const RGBQUAD* palette, const uint8_t* pixels,
                                         uint16_t lineSize) {
    if (!stream_) return Status::kNotOpen;
    if (path == nullptr || info == nullptr || info->biSize != sizeof(BITMAPINFOHEADER)) {
        return Status::kInvalidArgument;
    }
    if ((info->biClrUsed > 0 && palette == nullptr) ||
        (info->biSizeImage > 0 && pixels == nullptr)) {
        return Status::kInvalidArgument;
    }
    const ZelIrParameterBlock* block = &parameterBlock_;
    const size_t digitBytes = size_t{block->width} * block->height * 2;
    if (digitBytes > kFrameBufferBytes) return Status::kInvalidArgument;
    std::vector<uint8_t> bitmap;
    // The caller vouches for biClrUsed palette entries and biSizeImage pixel bytes.
    const std::span<const RGBQUAD> colours(palette, info->biClrUsed);
    const std::span<const uint8_t> image(pixels, info->biSizeImage);
    if (files::BuildBitmap(*info, colours, image, bitmap) != files::FileResult::kOk) {
        return Status::kInvalidArgument;
    }
    files::CombinedImageContent content{bitmap, block, lineSize, {GetDigitArray(), digitBytes}, {}};
    if (AnalysisBlockLength() > 0) content.analysis = {AnalysisBlock(), AnalysisBlockLength()};
    return SavedAs(files::WriteCombinedImageFile(NativePath(path), content));
}
