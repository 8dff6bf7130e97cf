// zelir badpoints PATH MAPFILE: sends the camera its list of bad points. MAPFILE is either a
// text file of "x y" lines (".txt") or a map of 16-bit values, one per pixel (>= 1: bad).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "commands.h"
#include "input_file.h"
#include "open_handle.h"

namespace zelir_cli {

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// "x y" or "x,y" per line; '#' starts a comment.
bool ReadPointList(std::ifstream& in, uint32_t width, uint32_t height, std::vector<int16_t>& map,
                   std::string& error) {
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = line.substr(0, line.find('#'));
        for (char& c : line) c = c == ',' ? ' ' : c;
        std::istringstream words(line);
        long x = 0, y = 0;
        if (!(words >> x)) continue;  // blank line
        std::string rest;
        if (!(words >> y) || (words >> rest) || x < 0 || y < 0 || x >= long(width) ||
            y >= long(height)) {
            error = "line " + std::to_string(number) + ": expected a column below " +
                    std::to_string(width) + " and a row below " + std::to_string(height);
            return false;
        }
        map[size_t(y) * width + size_t(x)] = 1;
    }
    return true;
}

}  // namespace

int RunBadPoints(const Args& args) {
    if (!CheckUsage(args, "badpoints", 2, 2, {})) return kExitUsage;
    const std::string& file = args.Positional()[1];
    if (const auto problem = CheckInputFile(file)) return Fail(kExitFailure, *problem);
    std::ifstream in(file, std::ios::binary);
    Handle handle = OpenCamera(args.Positional()[0]);
    if (!handle) return kExitFailure;
    uint32_t width = 0;
    uint32_t height = 0;
    ZelIr_GetDigitArrayPara(handle.get(), &width, &height);
    std::vector<int16_t> map(size_t{width} * height, 0);
    if (map.empty()) return Fail(kExitFailure, "the camera reports no frame size");
    if (EndsWith(file, ".txt")) {
        std::string error;
        if (!ReadPointList(in, width, height, map, error))
            return Fail(kExitUsage, file + ": " + error);
    } else {
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        if (bytes.size() != map.size() * 2) {
            return Fail(kExitUsage, file + " must hold " + std::to_string(width) + " x " +
                                        std::to_string(height) + " 16-bit values");
        }
        std::memcpy(map.data(), bytes.data(), bytes.size());
    }
    const int32_t count = ZelIr_TransmitBadPointFile(handle.get(), map.data(), 0);
    std::printf("sent %d bad points\n", count);
    return kExitOk;
}

}  // namespace zelir_cli
