// Where palettes are read from, by environment and folders present (the data folder's rules
// are checked through the tool, in tests/tools/zelir_settings_test.py).
#include "imaging/data_folders.h"

#include "support/scoped_variable.h"
#include "support/unit.h"

namespace {

namespace fs = std::filesystem;
using zelir_test::ScopedVariable;
using zelir_test::ScratchDir;

// Which rule applies: the ZELIR_* variable set, the folder beside the executable present.
struct FolderCase {
    const char* label;
    bool variableSet;
    bool besideExecutable;
};

class DataFolders : public ::testing::TestWithParam<FolderCase> {
  protected:
    fs::path Root() const { return fs::path(scratch_.File("")); }
    std::wstring Module() const { return (Root() / "module").wstring() + L"/"; }
    std::optional<std::string> Variable() const {
        return GetParam().variableSet ? std::optional((Root() / "chosen").string()) : std::nullopt;
    }
    static std::wstring Folder(const fs::path& path) { return path.wstring() + L"/"; }

    ScratchDir scratch_{"folder-rules"};
};

TEST_P(DataFolders, PaletteFolderFollowsTheOrder) {
    const FolderCase& c = GetParam();
    if (c.besideExecutable) fs::create_directories(Root() / "module" / "Palette");
    const ScopedVariable variable("ZELIR_PALETTE_DIR", Variable());
    const zelir::ChosenFolder chosen = zelir::ChoosePaletteFolder(Module());
    if (c.variableSet) {
        EXPECT_EQ(chosen.path, Folder(Root() / "chosen"));
    } else if (c.besideExecutable) {
        EXPECT_EQ(chosen.path, Folder(Root() / "module" / "Palette"));
    } else {  // no installed data beside a test program: the build tree's palettes
        EXPECT_STREQ(chosen.rule, L"build tree");
        EXPECT_TRUE(fs::is_regular_file(fs::path(chosen.path) / "Palette1.raw")) << chosen.path;
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, DataFolders,
                         ::testing::Values(FolderCase{"VariableWins", true, true},
                                           FolderCase{"BesideTheExecutable", false, true},
                                           FolderCase{"Fallback", false, false}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
