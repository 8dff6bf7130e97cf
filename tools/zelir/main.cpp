// zelir: the command-line tool of the ZelIr SDK.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "commands.h"

namespace zelir_cli {
namespace {

constexpr Command kCommands[] = {
    {"info", "FILE", "kind, geometry, frame count and parameter-line fields of a file", RunInfo},
    {"play", "FILE --out DIR [--palette N] [--bc-type T] [--from A --to B]",
     "write frames as palette BMPs", RunPlay},
    {"save", "FILE --frame N --out PATH [--format combined|raw|bmp]",
     "save one frame as a combined image, raw image or BMP", RunSave},
    {"avi", "MOVIE --out FILE.avi [--palette N] [--bc-type T] [--fps F]",
     "a raw movie through the display mapping into an AVI file", RunAvi},
    {"srec2bin", "HW.flash [SW.flash] --out FILE.bin",
     "S-record file (or hardware and software pair) to a binary image", RunSrec2bin},
    {"discover", "", "cameras on the network adapters: index, path, address, adapter, serial, size",
     RunDiscover},
    {"grab", "CAMERA --frames N --out DIR [--format bmp|raw|combined] [--palette N] [--stats]",
     "N consecutive live frames as files", RunGrab},
    {"record", "CAMERA --seconds S --out MOVIE.irm", "a raw movie of the live stream", RunRecord},
    {"get", "CAMERA SETTING", "read a camera setting (see below)", RunGet},
    {"set", "CAMERA SETTING [VALUE]", "write a camera setting; the camera must confirm it", RunSet},
    {"config", "CAMERA", "the camera's configuration block", RunConfig},
    {"upload", "CAMERA FILE [--type N]", "send a file to the camera as an array transfer",
     RunUpload},
    {"badpoints", "CAMERA MAPFILE",
     "send bad points: a .txt of \"x y\" lines or a 16-bit map, one value per pixel", RunBadPoints},
    {"settings", "[--palette N] [--bc-type T] [--brightness B] [--contrast C]",
     "show the display settings stored for applications, or change them", RunSettings},
    {"temp",
     "SRC [--point X,Y]... [--rect X,Y,W,H]... [--line X0,Y0,X1,Y1]... [--frame N]\n"
     "              [--emissivity E] [--reflected T] [--transmission X] [--atmosphere T]\n"
     "              [--correction] [--json|--csv] [--out FILE.tiff|FILE.npy]",
     "temperatures in C of points, rectangles, lines (the whole frame when none is given)",
     RunTemp},
    {"calibrate", "SRC --reference T --reference T --reference T... [--frames N] | --set R,B,F,O",
     "fit the radiometric constants to a blackbody at three or more temperatures", RunCalibrate},
    {"view", "SOURCE [--port 8080] [--bind 127.0.0.1] [--fps F] [--record-dir DIR]",
     "the camera, movie or image live in a browser page", RunView},
};

void PrintHelp(FILE* out) {
    std::fprintf(out, "usage: zelir COMMAND [ARGS]\n\ncommands:\n");
    for (const Command& command : kCommands) {
        std::fprintf(out, "  %-9s %s\n  %-9s   %s\n", command.name, command.usage, "",
                     command.summary);
    }
    std::fprintf(out,
                 "\nFILE is a movie (.irm), a combined image (.bmp) or a raw image (.raw).\n"
                 "CAMERA is a connection path: cam://N or cam:N (N as listed by discover), or\n"
                 "SCHEME://ADDRESS with the camera's IPv4 address (e.g. gige://198.18.0.2).\n"
                 "Camera settings: frame-frequency, exposure-time, exposure-mode, gain,\n"
                 "pixel-format, flip-dir, trigger-mode, trigger-source, soft-trigger (set only).\n"
                 "Palettes: 0 grey, 1 ironbow, ... (see README). Brightness/contrast types: 0\n"
                 "automatic linear, 1 manual linear, 3 CLAHE, 4 plateau equalisation, 5 mixed,\n"
                 "6 retinex, 7 bilateral detail enhancement.\n"
                 "--palette and --bc-type apply to that command only; add --save-settings to\n"
                 "store them for later commands and applications (see also 'zelir settings').\n"
                 "SRC is a FILE or a CAMERA. Temperatures are in degrees Celsius; a source needs\n"
                 "radiometric constants (a camera from 'calibrate', a file from FILE.rad).\n"
                 "Exit codes: 0 success, 1 failure, 2 usage error.\n");
}

}  // namespace
}  // namespace zelir_cli

namespace {

int Dispatch(int argc, char** argv) {
    using namespace zelir_cli;
    std::setlocale(LC_CTYPE, "");
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0 ||
        std::strcmp(argv[1], "-h") == 0) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitUsage : kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        Args args;
        std::string error;
        if (!args.Parse(argc - 2, argv + 2, {"save-settings", "json", "csv", "correction", "stats"},
                        error))
            return Fail(kExitUsage, error);
        return command.run(args);
    }
    return Fail(kExitUsage, std::string("unknown command '") + argv[1] + "' (see 'zelir help')");
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
