// Help texts: the command list, one command's usage, options and example, the versions.
#pragma once

#include <cstdio>

#include "commands.h"

namespace zelir_cli {

void PrintGlobalHelp(std::FILE* out);
void PrintCommandHelp(const Command& command, std::FILE* out);
void PrintVersion();

}  // namespace zelir_cli
