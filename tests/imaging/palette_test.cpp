// Palette loading, caller palettes and alarm colours.
#include "support/fake_handle.h"
#include "support/unit.h"

namespace {

namespace fs = std::filesystem;
using zelir_test::ScopedHandle;

using Quad = std::array<int, 4>;

// Blue, green, red and fourth byte of a level of a 1024-byte table.
Quad Entry(const std::array<uint8_t, 1024>& table, int level) {
    return {table[level * 4], table[level * 4 + 1], table[level * 4 + 2], table[level * 4 + 3]};
}

class PaletteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(dir_ / "Palette");
        handle_ = std::make_unique<ScopedHandle>(1, 1, 64, 48, dir_.path().wstring() + L"/");
    }
    // Palette file whose level i is (r, g, b) = (first + i, 2 i, 255 - i), `levels` records long.
    void WritePalette(int index, int first, int levels) {
        std::vector<uint8_t> rgb;
        for (int i = 0; i < levels; ++i) {
            rgb.insert(rgb.end(), {uint8_t(first + i), uint8_t(2 * i), uint8_t(255 - i)});
        }
        zelir_test::WriteBytes(dir_ / "Palette" / ("Palette" + std::to_string(index) + ".raw"),
                               rgb);
    }
    std::array<uint8_t, 1024> Table(uint16_t* index = nullptr) {
        std::array<uint8_t, 1024> table{};
        const uint16_t got = ZelIr_GetCurrPalette(handle_->handle(), table.data());
        if (index != nullptr) *index = got;
        return table;
    }
    zelir_test::ScratchDir dir_{"palette"};
    std::unique_ptr<ScopedHandle> handle_;
};

TEST_F(PaletteTest, FileRecordsBecomeBlueGreenRedEntries) {
    WritePalette(2, 7, 256);
    std::array<uint8_t, 1024> out{};
    ASSERT_EQ(ZelIr_SetPalette(handle_->handle(), 2, out.data()), 1);
    uint16_t index = 99;
    const auto table = Table(&index);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(out, table);
    for (int level : {0, 1, 100, 255}) {
        EXPECT_EQ(Entry(table, level),
                  (Quad{255 - level, (2 * level) & 255, (7 + level) & 255, 0}));
    }
}

TEST_F(PaletteTest, OutOfRangeIndexLoadsPaletteZero) {
    WritePalette(0, 1, 256);
    for (uint32_t index : {9u, 0xFFFFFFFFu}) {
        ZelIr_SetPalette(handle_->handle(), 3, nullptr);
        ASSERT_EQ(ZelIr_SetPalette(handle_->handle(), index, nullptr), 1);
        uint16_t stored = 99;
        const auto table = Table(&stored);
        EXPECT_EQ(stored, 0) << index;
        EXPECT_EQ(table[2], 1) << index;  // red of level 0 from Palette0.raw
    }
}

TEST_F(PaletteTest, MissingOrShortFileFallsBackToTheGreyRamp) {
    WritePalette(4, 50, 10);  // only ten levels
    ZelIr_SetPalette(handle_->handle(), 4, nullptr);
    auto table = Table();
    EXPECT_EQ(table[9 * 4 + 2], 59);
    for (int level : {10, 128, 255}) EXPECT_EQ(Entry(table, level), (Quad{level, level, level, 0}));
    ZelIr_SetPalette(handle_->handle(), 5, nullptr);  // no file at all
    table = Table();
    for (int level = 0; level < 256; ++level) ASSERT_EQ(table[level * 4 + 1], level);
}

struct AlarmCase {
    int8_t count;
    uint32_t marker;
    bool replaced;
};

TEST_F(PaletteTest, AlarmColoursReplaceTheFirstEntriesOnlyWhenMarked) {
    const std::vector<AlarmCase> cases = {
        {2, 0x7777, true}, {2, 0, false}, {6, 0x7777, false}, {0, 0x7777, false}};
    for (const AlarmCase& c : cases) {
        ZelIrParameterBlock* block = handle_->manager()->ParameterBlock();
        block->alarmColorCount = c.count;
        block->alarmColorMarker = c.marker;
        block->alarmColors[0] = 0xFF;        // pure red
        block->alarmColors[1] = 0x00FF8000;  // blue 0xFF, green 0x80
        ZelIr_SetPalette(handle_->handle(), 0, nullptr);
        const auto table = Table();
        SCOPED_TRACE(testing::Message() << int{c.count} << " " << c.marker);
        // Replaced: pure red, then blue 0xFF with green 0x80; entry 2 stays grey.
        const bool r = c.replaced;
        EXPECT_EQ(Entry(table, 0), (r ? Quad{0, 0, 255, 0} : Quad{0, 0, 0, 0}));
        EXPECT_EQ(Entry(table, 1), (r ? Quad{0xFF, 0x80, 0, 0} : Quad{1, 1, 1, 0}));
        EXPECT_EQ(Entry(table, 2), (Quad{2, 2, 2, 0}));
    }
}

TEST_F(PaletteTest, UserPaletteKeepsTheFourthByte) {
    ZelIr_SetPalette(handle_->handle(), 0, nullptr);
    handle_->manager()->PaletteTable()[7].rgbReserved = 0x5A;
    std::array<RGBQUAD, 256> user{};
    for (int i = 0; i < 256; ++i) user[i] = RGBQUAD{1, 2, 3, 0xEE};
    EXPECT_EQ(ZelIr_SetUserPalette(handle_->handle(), user.data()), 1);
    EXPECT_EQ(ZelIr_SetUserPalette(handle_->handle(), nullptr), 0);
    const auto table = Table();
    EXPECT_EQ(Entry(table, 7), (Quad{1, 2, 3, 0x5A}));
    EXPECT_EQ(Entry(table, 8), (Quad{1, 2, 3, 0}));
}

}  // namespace
