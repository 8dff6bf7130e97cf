// Where the library finds its palettes and keeps its writable state (para.ini, calibration
// channels, the mask), so that it works from the build tree, an installed prefix and beside
// existing deployments alike.
#pragma once

#include <string>

namespace zelir {

struct ChosenFolder {
    std::wstring path;    // ends in '/'
    const wchar_t* rule;  // why this folder, for the debug output
};

// ZELIR_PALETTE_DIR, else Palette/ in `moduleDirectory` when present, else the installed data
// folder beside the library, else the build tree's palettes.
ChosenFolder ChoosePaletteFolder(const std::wstring& moduleDirectory);

// ZELIR_DATA_DIR, else _TempData/ in `moduleDirectory` when it exists and is writable, else
// $XDG_DATA_HOME/zelir/ (~/.local/share/zelir/). The folder is created when missing.
ChosenFolder ChooseDataFolder(const std::wstring& moduleDirectory);

}  // namespace zelir
