// The subcommands of `zelir`. Each one lives in its own cmd_*.cpp file.
#pragma once

#include "cli_args.h"

namespace zelir_cli {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Command {
    const char* name;
    const char* usage;    // arguments after the name
    const char* summary;  // one line
    int (*run)(const Args& args);
};

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
