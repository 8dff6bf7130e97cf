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

// The current image as a BMP part: the digit array mapped to 8 bits with the handle's palette.
bool CIRDeviceManager::BuildCurrentBitmap(std::vector<uint8_t>& bitmap) {
    const ZelIrParameterBlock& block = parameterBlock_;
    std::vector<uint8_t> pixels(size_t{block.width} * block.height);
    if (pixels.empty() || MapToY8(reinterpret_cast<const uint16_t*>(GetDigitArray()), pixels.data(),
                                  0, nullptr) == 0) {
        return false;
    }
    const BITMAPINFOHEADER info = files::CurrentImageInfoHeader(block.width, block.height);
    return files::BuildBitmap(info, paletteTable_, pixels, bitmap) == files::FileResult::kOk;
}

int32_t CIRDeviceManager::SaveCurrentImage(const wchar_t* path, bool companionRaw) {
    std::vector<uint8_t> bitmap;
    if (!stream_ || path == nullptr || !BuildCurrentBitmap(bitmap)) return 0;
    const ZelIrParameterBlock* block = &parameterBlock_;
    const std::span<const uint8_t> digits(GetDigitArray(),
                                          size_t{block->width} * block->height * 2);
    files::CombinedImageContent content{bitmap, block, std::nullopt, digits, {}};
    if (AnalysisBlockLength() > 0) content.analysis = {AnalysisBlock(), AnalysisBlockLength()};
    const std::filesystem::path target = NativePath(path);
    if (files::WriteCombinedImageFile(target, content) != files::FileResult::kOk) return 0;
    if (companionRaw) files::WriteRawImageFile(files::CompanionRawPath(target), digits);
    return 1;
}

int32_t CIRDeviceManager::SaveCurrentImageAsBmp(const wchar_t* path) {
    std::vector<uint8_t> bitmap;
    if (!stream_ || path == nullptr || !BuildCurrentBitmap(bitmap)) return 0;
    return files::WriteBitmapFile(NativePath(path), bitmap) == files::FileResult::kOk ? 1 : 0;
}

int32_t CIRDeviceManager::SaveCallerImage(const wchar_t* path, const BITMAPINFOHEADER* info,
                                          const RGBQUAD* palette, const uint8_t* pixels,
                                          uint16_t lineSize) {
    if (!stream_ || path == nullptr || info == nullptr ||
        info->biSize != sizeof(BITMAPINFOHEADER)) {
        return 0;
    }
    if ((info->biClrUsed > 0 && palette == nullptr) ||
        (info->biSizeImage > 0 && pixels == nullptr)) {
        return 0;
    }
    const ZelIrParameterBlock* block = &parameterBlock_;
    const size_t digitBytes = size_t{block->width} * block->height * 2;
    if (digitBytes > kFrameBufferBytes) return 0;
    std::vector<uint8_t> bitmap;
    // The caller vouches for biClrUsed palette entries and biSizeImage pixel bytes.
    const std::span<const RGBQUAD> colours(palette, info->biClrUsed);
    const std::span<const uint8_t> image(pixels, info->biSizeImage);
    if (files::BuildBitmap(*info, colours, image, bitmap) != files::FileResult::kOk) return 0;
    files::CombinedImageContent content{bitmap, block, lineSize, {GetDigitArray(), digitBytes}, {}};
    if (AnalysisBlockLength() > 0) content.analysis = {AnalysisBlock(), AnalysisBlockLength()};
    return files::WriteCombinedImageFile(NativePath(path), content) == files::FileResult::kOk ? 1
                                                                                              : 0;
}
