// The subcommands of `zelir`. Each one lives in its own cmd_*.cpp file; command_table.cpp lists
// them with their help.
#pragma once

#include <string>
#include <vector>

#include "cli_args.h"

namespace zelir_cli {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// A command stopped by SIGINT or SIGTERM before its end exits with 128 + the signal number.

struct OptionHelp {
    const char* option;        // "--frames N"
    const char* text;          // what it does
    const char* defaultValue;  // "1", "required", "off"...
};

struct Command {
    const char* name;
    const char* usage;    // arguments after the name
    const char* summary;  // one line
    std::vector<OptionHelp> options;
    const char* example;
    bool displayOptions;  // takes --palette, --bc-type and --save-settings
    int (*run)(const Args& args);
};

const std::vector<Command>& Commands();
// Null for an unknown name.
const Command* FindCommand(const std::string& name);

int RunInfo(const Args& args);
int RunPlay(const Args& args);
int RunSave(const Args& args);
int RunAvi(const Args& args);
int RunSrec2bin(const Args& args);
int RunDiscover(const Args& args);
int RunGrab(const Args& args);
int RunRecord(const Args& args);
int RunGet(const Args& args);
int RunSet(const Args& args);
int RunConfig(const Args& args);
int RunUpload(const Args& args);
int RunBadPoints(const Args& args);
int RunSettings(const Args& args);
int RunTemp(const Args& args);
int RunCalibrate(const Args& args);
int RunView(const Args& args);

}  // namespace zelir_cli
