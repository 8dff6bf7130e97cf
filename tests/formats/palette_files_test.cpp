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

}  // namespace
