// zelir srec2bin HW.flash [SW.flash] --out x.bin: S-record files to one binary image.
#include <zelir/zelir.h>

#include <cstdio>
#include <filesystem>

#include "commands.h"
#include "input_file.h"
#include "output_paths.h"

namespace zelir_cli {

int RunSrec2bin(const Args& args) {
    if (!CheckUsage(args, "srec2bin", 1, 2, {"out"})) return kExitUsage;
    const auto out = args.Option("out");
    if (!out) return Fail(kExitUsage, "srec2bin: --out FILE is required");
    const auto& files = args.Positional();
    for (const std::string& file : files) {
        if (const auto problem = CheckInputFile(file)) return Fail(kExitFailure, *problem);
    }
    if (const auto problem = CheckOutputFile(*out)) return Fail(kExitFailure, *problem);
    std::error_code error;
    const bool existed = std::filesystem::exists(*out, error);
    uint32_t start = 0;
    const size_t length =
        files.size() == 1
            ? SrecToBin(files[0].c_str(), &start, nullptr, out->c_str())
            : SrecCombinedToBin(files[0].c_str(), files[1].c_str(), &start, nullptr, out->c_str());
    if (length == 0) {
        if (!existed) std::filesystem::remove(*out, error);
        return Fail(kExitFailure, files.size() == 1
                                      ? "no S3 data in " + files[0] + "; nothing written"
                                      : "cannot combine " + files[0] + " and " + files[1] +
                                            " (names must end in .flash; the hardware part must "
                                            "end before the software part starts)");
    }
    std::printf("%zu bytes from address %#010x written to %s\n", length, start, out->c_str());
    return kExitOk;
}

}  // namespace zelir_cli
