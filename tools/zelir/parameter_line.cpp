#include "parameter_line.h"

#include <zelir/zelir.h>

#include <cstddef>
#include <cstring>

namespace zelir_cli {
namespace {

constexpr uint16_t kMinLineSize = 5;
constexpr uint16_t kMaxLineSize = 100;

template <typename T>
T At(std::span<const uint8_t> line, size_t offset) {
    T value{};
    std::memcpy(&value, line.data() + offset, sizeof value);
    return value;
}

std::string Text(std::span<const uint8_t> line, size_t offset, size_t size) {
    std::string text(reinterpret_cast<const char*>(line.data() + offset), size);
    return text.substr(0, text.find('\0'));
}

}  // namespace

bool IsValidLine(std::span<const uint8_t> line) {
    if (line.size() < offsetof(ZelIrParameterBlock, width)) return false;
    const auto size = At<uint16_t>(line, offsetof(ZelIrParameterBlock, paramLineSize));
    return At<uint16_t>(line, offsetof(ZelIrParameterBlock, marker)) == 1 && size >= kMinLineSize &&
           size <= kMaxLineSize;
}

LineFields FieldsOf(std::span<const uint8_t> line) {
    LineFields f;
    f.serial = Text(line, offsetof(ZelIrParameterBlock, serialNumber), 8);
    f.model = Text(line, offsetof(ZelIrParameterBlock, modelText), 8);
    f.frameId = At<uint32_t>(line, offsetof(ZelIrParameterBlock, frameId));
    f.ambientTemp = At<uint16_t>(line, offsetof(ZelIrParameterBlock, ambientTemp));
    f.fpaTemp = At<uint16_t>(line, offsetof(ZelIrParameterBlock, vTempFpa));
    f.integrationTime = At<uint32_t>(line, offsetof(ZelIrParameterBlock, integrationTime));
    f.gain = At<uint8_t>(line, offsetof(ZelIrParameterBlock, gain));
    return f;
}

}  // namespace zelir_cli
