// zelir calibrate SRC --reference T [--reference T]... [--frames N] [--correction]
// zelir calibrate SRC --set R,B,F,O[,MIN,MAX]
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "open_handle.h"
#include "temperature_options.h"

namespace zelir_cli {
namespace {

constexpr int64_t kMaxFrames = 1000;

void PrintConstants(const ZelIrRadiometry& c) {
    std::printf("r=%.6g b=%.6g f=%.6g o=%.6g range=%g..%g C\n", c.r, c.b, c.f, c.o, c.minCelsius,
                c.maxCelsius);
}

int SetDirectly(ZelIrHandle handle, const std::string& text) {
    auto numbers = ParseNumbers(text, 6);
    if (!numbers) {
        numbers = ParseNumbers(text, 4);
        if (numbers) numbers->insert(numbers->end(), {-50.0, 650.0});
    }
    if (!numbers) return Fail(kExitUsage, "calibrate: --set takes R,B,F,O or R,B,F,O,MIN,MAX");
    const auto& n = *numbers;
    const ZelIrRadiometry c{float(n[0]), float(n[1]), float(n[2]),
                            float(n[3]), float(n[4]), float(n[5])};
    if (ZelIr_SetRadiometry(handle, &c) != 1) {
        return Fail(kExitUsage,
                    "calibrate: constants refused (R > 0, B > 0, MIN < MAX, and the response "
                    "must rise over the whole range)");
    }
    PrintConstants(c);
    return kExitOk;
}

// A camera waits for the user (or a script on stdin) to set the blackbody; a file goes on with
// its next frames.
bool WaitForBlackbody(bool camera, size_t index, size_t count, double celsius) {
    std::fprintf(stderr, "reference %zu of %zu: blackbody at %g C%s\n", index + 1, count, celsius,
                 camera ? ", then press Enter" : "");
    if (!camera) return true;
    std::string line;
    return static_cast<bool>(std::getline(std::cin, line));
}

}  // namespace

int RunCalibrate(const Args& args) {
    std::set<std::string> known = {"reference", "frames", "set"};
    known.insert(kObjectOptions.begin(), kObjectOptions.end());
    if (!CheckUsage(args, "calibrate", 1, 1, known)) return kExitUsage;
    const std::vector<std::string> texts = args.Values("reference");
    const auto set = args.Option("set");
    if (set && !texts.empty()) return Fail(kExitUsage, "calibrate: --set or --reference, not both");
    std::vector<double> references;
    for (const std::string& text : texts) {
        const auto value = ParseNumbers(text, 1);
        if (!value) return Fail(kExitUsage, "calibrate: --reference takes a temperature in C");
        if (!references.empty() && (*value)[0] <= references.back()) {
            return Fail(kExitUsage, "calibrate: references must rise from one to the next");
        }
        references.push_back((*value)[0]);
    }
    if (!set && references.size() < 3) {
        return Fail(kExitUsage, "calibrate: at least three --reference temperatures are needed");
    }
    const auto frames = ParseInteger(args.Option("frames").value_or("16"), 1, kMaxFrames);
    if (!frames) return Fail(kExitUsage, "calibrate: --frames takes 1..1000");

    const std::string& path = args.Positional()[0];
    Handle handle = OpenOrExplain(path);
    if (!handle) return kExitFailure;
    if (!ApplyObjectOptions(handle.get(), args)) return kExitUsage;
    if (set) return SetDirectly(handle.get(), *set);

    const bool camera = IsCameraPath(path);
    for (size_t i = 0; i < references.size(); ++i) {
        if (!WaitForBlackbody(camera, i, references.size(), references[i])) {
            return Fail(kExitFailure, "calibrate: no answer on stdin, nothing changed");
        }
        if (ZelIr_AddBlackbodyReference(handle.get(), float(references[i]), uint32_t(*frames)) !=
            1) {
            return Fail(kExitFailure, "calibrate: no frames from " + path + ", nothing changed");
        }
    }
    ZelIrRadiometry constants;
    if (ZelIr_FitRadiometry(handle.get(), &constants) != 1) {
        return Fail(kExitFailure,
                    "calibrate: the references fit no response (do the digit values rise with "
                    "the temperature?), nothing changed");
    }
    PrintConstants(constants);
    if (!camera)
        std::fprintf(stderr, "(a file keeps no constants; a camera keeps them by serial)\n");
    return kExitOk;
}

}  // namespace zelir_cli
