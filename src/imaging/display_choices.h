// The display choices by name: palettes and brightness/contrast types, one list for the
// library's users (menus, command lines, help texts).
#pragma once

#include <zelir/zelir.h>

#include <span>

namespace zelir {

enum class DisplayChoiceList { kPalettes, kBrightContrastTypes };

std::span<const ZelIrChoice> DisplayChoices(DisplayChoiceList list);

}  // namespace zelir
