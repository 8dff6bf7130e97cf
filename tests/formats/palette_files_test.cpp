// The palettes the build places in Palette/ beside the executables.
#include "support/unit.h"

namespace {

constexpr int kPalettes = 9;

std::filesystem::path PaletteDir() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Palette";
}

std::vector<uint8_t> Palette(int index) {
    return zelir_test::ReadBytes(PaletteDir() / ("Palette" + std::to_string(index) + ".raw"));
}

double Luminance(const std::vector<uint8_t>& p, int level) {
    auto linear = [](uint8_t c) {
        const double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(p[3 * level]) + 0.7152 * linear(p[3 * level + 1]) +
           0.0722 * linear(p[3 * level + 2]);
}

TEST(PaletteFiles, NineFilesOf256RgbRecordsAllDifferent) {
    std::vector<std::vector<uint8_t>> all;
    for (int i = 0; i < kPalettes; ++i) {
        const auto path = PaletteDir() / ("Palette" + std::to_string(i) + ".raw");
        ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
        EXPECT_EQ(std::filesystem::file_size(path), 768u) << path;
        all.push_back(Palette(i));
    }
    for (int i = 0; i < kPalettes; ++i) {
        for (int j = i + 1; j < kPalettes; ++j) EXPECT_NE(all[i], all[j]) << i << " " << j;
    }
    EXPECT_FALSE(std::filesystem::exists(PaletteDir() / "Palette9.raw"));
}

// The perceptual palette gets brighter at every level; it and the hot palettes run from dark
// to bright.
TEST(PaletteFiles, PerceptualAndHotPalettesRunFromDarkToBright) {
    const auto p = Palette(6);
    ASSERT_EQ(p.size(), 768u);
    for (int level = 1; level < 256; ++level) {
        EXPECT_GT(Luminance(p, level), Luminance(p, level - 1)) << "level " << level;
    }
    for (const auto& [index, brightest] :
         {std::pair{6, 0.8}, {0, 0.7}, {1, 0.7}, {4, 0.7}, {8, 0.7}}) {
        const auto palette = Palette(index);
        ASSERT_EQ(palette.size(), 768u);
        EXPECT_LT(Luminance(palette, 0), 0.01) << "palette " << index;
        EXPECT_GT(Luminance(palette, 255), brightest) << "palette " << index;
    }
}

}  // namespace
