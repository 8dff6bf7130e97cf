#include "temperature_options.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

#include "commands.h"

namespace zelir_cli {

std::optional<std::vector<double>> ParseNumbers(const std::string& text, size_t count) {
    std::vector<double> numbers;
    const char* p = text.c_str();
    while (numbers.size() < count) {
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        if (end == p || !std::isfinite(v)) return std::nullopt;
        numbers.push_back(v);
        p = end;
        if (*p == '\0') break;
        if (*p++ != ',') return std::nullopt;
    }
    if (numbers.size() != count || *p != '\0') return std::nullopt;
    return numbers;
}

bool ApplyObjectOptions(ZelIrHandle handle, const Args& args) {
    ZelIrObjectParams object{};
    ZelIr_GetObjectParams(handle, &object);
    // The record is packed: its fields are read and written by value.
    const char* names[] = {"emissivity", "reflected", "transmission", "atmosphere"};
    float values[] = {object.emissivity, object.reflectedCelsius, object.transmission,
                      object.atmosphereCelsius};
    bool given = false;
    for (size_t i = 0; i < std::size(names); ++i) {
        const auto text = args.Option(names[i]);
        if (!text) continue;
        given = true;
        const auto value = ParseNumbers(*text, 1);
        if (!value) return Fail(kExitUsage, std::string("--") + names[i] + " takes a number") == 0;
        values[i] = static_cast<float>((*value)[0]);
    }
    object = ZelIrObjectParams{values[0], values[1], values[2], values[3]};
    if (given && ZelIr_SetObjectParams(handle, &object) != 1) {
        return Fail(kExitUsage,
                    "object parameters refused: emissivity and transmission lie in (0, 1], "
                    "temperatures above -273.15 C") == 0;
    }
    if (args.Has("correction")) ZelIr_DebugSet(handle, 1);
    return true;
}

}  // namespace zelir_cli
