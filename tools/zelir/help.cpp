#include "help.h"

#include <zelir/zelir.h>

#include <string>

#include "display_choices.h"

namespace zelir_cli {
namespace {

const OptionHelp kDisplayOptions[] = {
    {"--palette N", "palette by number or name (list below)", "the stored one"},
    {"--bc-type T", "brightness/contrast type by number or name (list below)", "the stored one"},
    {"--save-settings", "keep --palette and --bc-type for later commands and applications", "off"},
};

void PrintOption(const OptionHelp& option, std::FILE* out) {
    std::fprintf(out, "  %-24s %s [%s]\n", option.option, option.text, option.defaultValue);
}

void PrintDisplayLists(std::FILE* out) {
    std::fprintf(out, "\npalettes: %s\nbrightness/contrast types: %s\n",
                 ChoiceList(ZELIR_CHOICES_PALETTES).c_str(),
                 ChoiceList(ZELIR_CHOICES_BRIGHT_CONTRAST).c_str());
}

}  // namespace

void PrintGlobalHelp(std::FILE* out) {
    std::fprintf(out, "usage: zelir COMMAND [ARGS]   (zelir COMMAND --help for its options)\n\n");
    for (const Command& command : Commands()) {
        std::fprintf(out, "  %-10s %s\n", command.name, command.summary);
    }
    std::fprintf(out,
                 "\nFILE is a movie (.irm), a combined image (.bmp) or a raw image (.raw).\n"
                 "CAMERA is a connection path: cam://N or cam:N (N as listed by discover), or\n"
                 "SCHEME://ADDRESS with the camera's IPv4 address (e.g. gige://198.18.0.2).\n"
                 "SRC is a FILE or a CAMERA. --palette and --bc-type apply to that command only.\n"
                 "Exit codes: 0 success, 1 failure, 2 usage error, 128 + signal number when\n"
                 "SIGINT/SIGTERM stopped a command early (files are finished first).\n");
    PrintDisplayLists(out);
    std::fprintf(out, "\nzelir --version prints the versions of the tool and the library.\n");
}

void PrintCommandHelp(const Command& command, std::FILE* out) {
    std::fprintf(out, "usage: zelir %s %s\n\n%s\n", command.name, command.usage, command.summary);
    if (!command.options.empty() || command.displayOptions) {
        std::fprintf(out, "\noptions [default]:\n");
    }
    for (const OptionHelp& option : command.options) PrintOption(option, out);
    if (command.displayOptions) {
        for (const OptionHelp& option : kDisplayOptions) PrintOption(option, out);
        PrintDisplayLists(out);
    }
    std::fprintf(out, "\nexample:\n  %s\n", command.example);
}

void PrintVersion() {
    uint16_t word = 0;
    char revision[32] = {};
    ZelIr_GetVersion(&word);
    ZelIr_GetRevisionTime(revision, sizeof revision);
    std::printf("zelir %s\nlibzelir version word 0x%04x, revision %s\n", ZELIR_TOOL_VERSION,
                static_cast<unsigned>(word), revision);
}

}  // namespace zelir_cli
