#include "display_choices.h"

#include <vector>

#include "cli_args.h"

namespace zelir_cli {
namespace {

std::vector<ZelIrChoice> Choices(uint32_t kind) {
    const int32_t count = ZelIr_GetDisplayChoices(kind, nullptr, 0);
    std::vector<ZelIrChoice> choices(static_cast<size_t>(count > 0 ? count : 0));
    ZelIr_GetDisplayChoices(kind, choices.data(), static_cast<int32_t>(choices.size()));
    return choices;
}

}  // namespace

std::string ChoiceList(uint32_t kind) {
    std::string text;
    for (const ZelIrChoice& choice : Choices(kind)) {
        if (!text.empty()) text += ", ";
        text += std::to_string(choice.value) + " " + choice.name;
    }
    return text;
}

std::optional<int32_t> ParseChoice(uint32_t kind, const std::string& text) {
    const auto number = ParseInteger(text, INT32_MIN, INT32_MAX);
    for (const ZelIrChoice& choice : Choices(kind)) {
        if ((number && *number == choice.value) || text == choice.name) return choice.value;
    }
    return std::nullopt;
}

}  // namespace zelir_cli
