// The library's lists of palettes and brightness/contrast types, for parsing and help texts.
#pragma once

#include <zelir/zelir.h>

#include <optional>
#include <string>

namespace zelir_cli {

// "0 grey (white hot), 1 ironbow, ..." for kind ZELIR_CHOICES_PALETTES or
// ZELIR_CHOICES_BRIGHT_CONTRAST.
std::string ChoiceList(uint32_t kind);
// A listed value, given by its number or its exact name; nullopt for anything else.
std::optional<int32_t> ParseChoice(uint32_t kind, const std::string& text);

}  // namespace zelir_cli
