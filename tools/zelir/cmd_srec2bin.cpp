// zelir srec2bin HW.flash [SW.flash] --out x.bin: S-record files to one binary image.
#include <zelir/zelir.h>

#include <cstdio>

#include "commands.h"

namespace zelir_cli {

int RunSrec2bin(const Args& args) {
    if (!CheckUsage(args, "srec2bin", 1, 2, {"out"})) return kExitUsage;
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "srec2bin: --out FILE is required");
    const auto& files = args.Positional();
    uint32_t start = 0;
    const size_t length =
        files.size() == 1
            ? SrecToBin(files[0].c_str(), &start, nullptr, out->c_str())
            : SrecCombinedToBin(files[0].c_str(), files[1].c_str(), &start, nullptr, out->c_str());
    if (length == 0) {
        return Fail(kExitFailure, files.size() == 1
                                      ? "no S3 data converted from " + files[0]
                                      : "cannot combine " + files[0] + " and " + files[1] +
                                            " (names must end in .flash; the hardware part must "
                                            "end before the software part starts)");
    }
    std::printf("%zu bytes from address %#010x written to %s\n", length, start, out->c_str());
    return kExitOk;
}

}  // namespace zelir_cli
