// zelir config PATH: the camera's configuration block, unpacked.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "open_handle.h"

namespace zelir_cli {

namespace {

std::string Text(const char* field, size_t size) {
    std::string text(field, size);
    return text.substr(0, text.find('\0'));
}

std::string List(const uint16_t* list, uint16_t count) {
    std::string text;
    for (uint16_t i = 0; i < count && i < 4; ++i) text += " " + std::to_string(list[i]);
    return text.empty() ? " -" : text;
}

}  // namespace

int RunConfig(const Args& args) {
    if (!CheckUsage(args, "config", 1, 1, {})) return kExitUsage;
    Handle handle = OpenCamera(args.Positional()[0]);
    if (!handle) return kExitFailure;
    CameraConfig c{};
    if (ZelIr_GetCameraConfig(handle.get(), &c) != 1) {
        return Fail(kExitFailure, "the camera did not send its configuration");
    }
    // The record is packed: copy the lists out before use.
    uint16_t listL[4], listN[4];
    std::memcpy(listL, reinterpret_cast<const char*>(&c) + offsetof(CameraConfig, listL), 8);
    std::memcpy(listN, reinterpret_cast<const char*>(&c) + offsetof(CameraConfig, listN), 8);
    std::printf("model:          %s\n", Text(c.model, sizeof c.model).c_str());
    std::printf("text:           %s\n", Text(c.text108, sizeof c.text108).c_str());
    std::printf("words B, C:     0x%08x 0x%08x\n", c.wordB, c.wordC);
    std::printf("word 60:        0x%08x\n", c.word60);
    std::printf("values 28..48:  %u %u %u %u %u %u %u %u %u %u\n", c.value28, c.value32, c.value34,
                c.value36, c.value38, c.value40, c.value42, c.value44, c.value46, c.value48);
    std::printf("value 172, 192: %u %u\n", c.value172, c.value192);
    std::printf("log2 value 58:  %u\n", c.log2Value58);
    std::printf("value 52:       %d\n", c.value52);
    std::printf("option S:       %u\n", c.optionS);
    std::printf("list L:        %s\n", List(listL, c.countL).c_str());
    std::printf("option M:       %u\n", c.optionM);
    std::printf("list N:        %s\n", List(listN, c.countN).c_str());
    std::printf("option P:       %u\n", c.optionP);
    std::printf("F1 F2 F3 F4:    %u %u %u %u\n", c.flagF1, c.valueF2, c.flagF3, c.flagF4);
    return kExitOk;
}

}  // namespace zelir_cli
