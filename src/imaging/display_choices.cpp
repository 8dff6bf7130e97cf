#include "imaging/display_choices.h"

#include "imaging/display_type.h"

namespace zelir {
namespace {

// The order of scripts/make_palettes.py, which writes PaletteN.raw.
constexpr ZelIrChoice kPalettes[] = {
    {0, "grey (white hot)"},   {1, "ironbow"}, {2, "rainbow"}, {3, "black hot"},
    {4, "hot metal (lava)"},   {5, "arctic"},  {6, "inferno"}, {7, "medical (high contrast)"},
    {8, "night-vision green"},
};

constexpr ZelIrChoice kBrightContrastTypes[] = {
    {kDisplayAutoLinear, "automatic linear"},
    {kDisplayManualLinear, "manual linear"},
    {kDisplayClahe, "adaptive histogram equalisation"},
    {kDisplayPlateau, "plateau histogram equalisation"},
    {kDisplayMixed, "mixed linear and equalised"},
    {kDisplayRetinex, "retinex"},
    {kDisplayBilateral, "bilateral detail enhancement"},
};

}  // namespace

std::span<const ZelIrChoice> DisplayChoices(DisplayChoiceList list) {
    return list == DisplayChoiceList::kPalettes
               ? std::span<const ZelIrChoice>(kPalettes)
               : std::span<const ZelIrChoice>(kBrightContrastTypes);
}

}  // namespace zelir
