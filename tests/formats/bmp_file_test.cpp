// The BMPs this module writes, judged by an outside reader (Pillow).
#include "formats/bmp_file.h"

#include "formats/combined_image.h"
#include "support/run_tool.h"
#include "support/unit.h"

namespace zelir::files {
namespace {

namespace test = ::zelir_test;

// Prints what Pillow makes of a BMP: format, width, height, mode; the palette as RGB hex; the
// pixels top row first as hex.
constexpr const char* kOracle = R"(import sys
from PIL import Image
im = Image.open(sys.argv[1])
im.load()
print(im.format, im.size[0], im.size[1], im.mode)
print(bytes(im.getpalette() or []).hex())
print(im.tobytes().hex())
)";

struct PillowView {
    std::string header;
    std::string palette;
    std::string pixels;
};

PillowView AskPillow(const test::ScratchDir& dir, const std::filesystem::path& bmp) {
    test::WriteText(dir / "oracle.py", kOracle);
    std::istringstream lines(test::RunTool(std::string(ZELIR_PYTHON) + " " +
                                           (dir / "oracle.py").string() + " " + bmp.string()));
    PillowView view;
    std::getline(lines, view.header);
    std::getline(lines, view.palette);
    std::getline(lines, view.pixels);
    return view;
}

std::string Hex(std::span<const uint8_t> bytes) {
    std::string text;
    char digits[3];
    for (const uint8_t b : bytes) {
        std::snprintf(digits, sizeof(digits), "%02x", b);
        text += digits;
    }
    return text;
}

std::vector<RGBQUAD> ColourPalette(size_t entries) {
    std::vector<RGBQUAD> palette(entries);
    for (size_t i = 0; i < entries; ++i) {
        palette[i] = {uint8_t(i * 3), uint8_t(255 - i), uint8_t(i / 2 + 7), 0};
    }
    return palette;
}

// What a reader should see: the palette as red, green, blue...
std::string RgbHex(const std::vector<RGBQUAD>& palette) {
    std::vector<uint8_t> rgb;
    for (const RGBQUAD& q : palette) rgb.insert(rgb.end(), {q.rgbRed, q.rgbGreen, q.rgbBlue});
    return Hex(rgb);
}

// ...and the bottom-up rows of the file as top-down rows.
std::string TopDownHex(const std::vector<uint8_t>& pixels, size_t width, size_t height) {
    std::vector<uint8_t> rows;
    for (size_t r = height; r-- > 0;) {
        rows.insert(rows.end(), pixels.begin() + r * width, pixels.begin() + (r + 1) * width);
    }
    return Hex(rows);
}

// The BMP part of a combined image, with a caller's header of 16 palette entries. (A plain BMP
// of the current image is read by Pillow in zelir_cli_test.test_each_format_read_back.)
TEST(BitmapsReadByPillow, CombinedCallerImageShowsSizeModePaletteAndPixels) {
    constexpr uint16_t kWidth = 16, kHeight = 8;
    constexpr uint32_t kEntries = 16;
    BITMAPINFOHEADER info = CurrentImageInfoHeader(kWidth, kHeight);
    info.biClrUsed = kEntries;
    const auto palette = ColourPalette(kEntries);
    auto pixels = test::Pattern(size_t{kWidth} * kHeight, 1);
    for (auto& p : pixels) p %= kEntries;

    std::vector<uint8_t> bitmap;
    ASSERT_EQ(BuildBitmap(info, palette, pixels, bitmap), FileResult::kOk);
    ASSERT_EQ(bitmap.size(), 14 + 40 + 4 * kEntries + pixels.size());
    test::ScratchDir dir;
    ZelIrParameterBlock block{};
    block.width = kWidth;
    block.height = kHeight;
    const auto digits = test::Pattern(size_t{kWidth} * kHeight * 2);
    ASSERT_EQ(WriteCombinedImageFile(dir / "image.bmp", {bitmap, &block, {}, digits, {}}),
              FileResult::kOk);

    const PillowView view = AskPillow(dir, dir / "image.bmp");
    EXPECT_EQ(view.header, "BMP 16 8 P");
    EXPECT_EQ(view.palette, RgbHex(palette));
    EXPECT_EQ(view.pixels, TopDownHex(pixels, kWidth, kHeight));
}

TEST(BuildBitmap, RefusesPalettesAndPixelsShorterThanItsHeaderSays) {
    const auto palette = ColourPalette(256);
    const std::vector<uint8_t> pixels(64);
    BITMAPINFOHEADER info = CurrentImageInfoHeader(8, 8);
    std::vector<uint8_t> bitmap;

    EXPECT_EQ(BuildBitmap(info, std::span(palette).first(255), pixels, bitmap),
              FileResult::kBadInput);
    EXPECT_EQ(BuildBitmap(info, palette, std::span(pixels).first(63), bitmap),
              FileResult::kBadInput);
    BITMAPINFOHEADER huge = info;
    huge.biClrUsed = 0xFFFFFFFFu;
    EXPECT_EQ(BuildBitmap(huge, palette, pixels, bitmap), FileResult::kBadInput);
    EXPECT_TRUE(bitmap.empty());
}

}  // namespace
}  // namespace zelir::files
