// Options shared by the temperature commands: comma-separated numbers, the object parameters
// and the two-point correction switch.
#pragma once

#include <zelir/zelir.h>

#include <optional>
#include <string>
#include <vector>

#include "cli_args.h"

namespace zelir_cli {

// Exactly `count` comma-separated decimal numbers; nullopt for anything else.
std::optional<std::vector<double>> ParseNumbers(const std::string& text, size_t count);

// Applies --emissivity, --reflected, --transmission, --atmosphere and --correction; false (with
// the message printed) for a bad value.
bool ApplyObjectOptions(ZelIrHandle handle, const Args& args);

inline const std::vector<std::string> kObjectOptions = {"emissivity", "reflected", "transmission",
                                                        "atmosphere", "correction"};

}  // namespace zelir_cli
