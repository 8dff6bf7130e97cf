// zelir upload PATH FILE [--type N]: sends a file to the camera as an array transfer.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "commands.h"
#include "input_file.h"
#include "open_handle.h"
#include "progress_bar.h"

namespace zelir_cli {

namespace {

constexpr uint64_t kLargestArray = 0xFFFFFF;  // offsets travel in 24 bits

void ShowProgress(uint16_t, uint32_t percent, void* context) {
    static_cast<ProgressBar*>(context)->Update(percent);
}

}  // namespace

int RunUpload(const Args& args) {
    if (!CheckUsage(args, "upload", 2, 2, {"type"})) return kExitUsage;
    const auto type = ParseInteger(args.Option("type").value_or("0"), 0, 63);
    if (!type) return Fail(kExitUsage, "upload: --type takes 0..63");
    const std::string& file = args.Positional()[1];
    if (const auto problem = CheckInputFile(file)) return Fail(kExitFailure, *problem);
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (data.size() > kLargestArray) {
        return Fail(kExitFailure, file + " is larger than 16 MiB - 1, the most one transfer holds");
    }
    Handle handle = OpenCamera(args.Positional()[0]);
    if (!handle) return kExitFailure;
    const auto start = std::chrono::steady_clock::now();
    int32_t sent = 0;
    {
        ProgressBar bar("upload", 100);
        ZelIr_SetCommandCallback(handle.get(), ShowProgress, &bar);
        sent = ZelIr_TransmitArray(handle.get(), data.data(), static_cast<uint32_t>(data.size()),
                                   static_cast<uint32_t>(*type));
        ZelIr_SetCommandCallback(handle.get(), nullptr, nullptr);
    }
    if (sent != 1) return Fail(kExitFailure, "the camera did not take every block of " + file);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("uploaded %zu bytes in %zu blocks, %.0f ms\n", data.size(),
                (data.size() + 511) / 512, ms);
    return kExitOk;
}

}  // namespace zelir_cli
