// Hex digits and address widths shared by the S-record line codec and the file reader.
#pragma once

#include <array>
#include <cstdint>

namespace zelir {

// Address width in hex digits by record type; 0 marks a type that is not accepted (S4, S6).
inline constexpr std::array<uint8_t, 10> kSrecAddressDigits = {4, 4, 6, 8, 0, 4, 0, 8, 6, 4};

// Value of a hex digit, -1 for any other character.
inline constexpr std::array<int8_t, 256> kHexValue = [] {
    std::array<int8_t, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<int8_t>(i);
    for (int i = 0; i < 6; ++i) {
        table['A' + i] = static_cast<int8_t>(10 + i);
        table['a' + i] = static_cast<int8_t>(10 + i);
    }
    return table;
}();

}  // namespace zelir
