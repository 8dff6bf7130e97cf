// zelir: the command-line tool of the ZelIr SDK.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "commands.h"
#include "help.h"

namespace {

bool IsHelpWord(const char* word) {
    return std::strcmp(word, "--help") == 0 || std::strcmp(word, "-h") == 0;
}

int Dispatch(int argc, char** argv) {
    using namespace zelir_cli;
    std::setlocale(LC_CTYPE, "");
    if (argc < 2) {
        PrintGlobalHelp(stderr);
        return kExitUsage;
    }
    const std::string first = argv[1];
    if (first == "--version") {
        PrintVersion();
        return kExitOk;
    }
    if (first == "help" || IsHelpWord(argv[1])) {
        if (argc < 3) {
            PrintGlobalHelp(stdout);
            return kExitOk;
        }
        const Command* command = FindCommand(argv[2]);
        if (command == nullptr) {
            return Fail(kExitUsage,
                        std::string("unknown command '") + argv[2] + "' (see 'zelir help')");
        }
        PrintCommandHelp(*command, stdout);
        return kExitOk;
    }
    const Command* command = FindCommand(first);
    if (command == nullptr) {
        return Fail(kExitUsage, "unknown command '" + first + "' (see 'zelir help')");
    }
    for (int i = 2; i < argc; ++i) {
        if (IsHelpWord(argv[i])) {
            PrintCommandHelp(*command, stdout);
            return kExitOk;
        }
    }
    Args args;
    std::string error;
    if (!args.Parse(argc - 2, argv + 2, {"save-settings", "json", "csv", "correction", "stats"},
                    error)) {
        return Fail(kExitUsage, first + ": " + error + " (see 'zelir " + first + " --help')");
    }
    return command->run(args);
}

}  // namespace

int main(int argc, char** argv) {
    // A failure nothing below foresaw still ends with a message and exit code 1, not an abort.
    try {
        return Dispatch(argc, argv);
    } catch (const std::exception& e) {
        return zelir_cli::Fail(zelir_cli::kExitFailure,
                               std::string("unexpected failure: ") + e.what());
    }
}
