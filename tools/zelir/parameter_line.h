// The camera's parameter line (the first 100 bytes of ZelIrParameterBlock), read field by field.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zelir_cli {

struct LineFields {
    std::string serial;
    std::string model;
    uint32_t frameId = 0;
    uint16_t ambientTemp = 0;
    uint16_t fpaTemp = 0;
    uint32_t integrationTime = 0;
    uint8_t gain = 0;
};

// The camera's rule: marker 1 and a size field in 5..100.
bool IsValidLine(std::span<const uint8_t> line);
// Fields of a line of at least 100 bytes.
LineFields FieldsOf(std::span<const uint8_t> line);

}  // namespace zelir_cli
