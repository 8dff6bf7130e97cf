// zelir temp SRC [--point X,Y]... [--rect X,Y,W,H]... [--line X0,Y0,X1,Y1]... [--frame N]
//   [--emissivity E] [--reflected T] [--transmission X] [--atmosphere T] [--correction]
//   [--json|--csv] [--out FILE.tiff|FILE.npy]
#include <cmath>
#include <cstdio>
#include <vector>

#include "commands.h"
#include "float_image_files.h"
#include "open_handle.h"
#include "temperature_options.h"

namespace zelir_cli {
namespace {

enum class Kind { kPoint, kRect, kLine };

struct Measurement {
    Kind kind;
    std::vector<int32_t> at;  // x,y | x,y,w,h | x0,y0,x1,y1
    float celsius = NAN;      // points
    ZelIrTempStats stats{};   // rectangles and lines
};

const char* KindName(Kind kind) {
    return kind == Kind::kPoint ? "point" : kind == Kind::kRect ? "rect" : "line";
}

// Every --point, --rect and --line, in that order; the whole frame when none is given.
bool CollectRegions(const Args& args, uint32_t width, uint32_t height,
                    std::vector<Measurement>& out) {
    const struct {
        const char* option;
        Kind kind;
        size_t count;
    } kinds[] = {{"point", Kind::kPoint, 2}, {"rect", Kind::kRect, 4}, {"line", Kind::kLine, 4}};
    for (const auto& k : kinds) {
        for (const std::string& text : args.Values(k.option)) {
            const auto numbers = ParseNumbers(text, k.count);
            Measurement m{k.kind, {}};
            for (double v : numbers.value_or(std::vector<double>{})) {
                if (v != std::floor(v) || std::abs(v) > 1e6) break;
                m.at.push_back(static_cast<int32_t>(v));
            }
            if (m.at.size() != k.count) {
                return Fail(kExitUsage, std::string("temp: --") + k.option + " takes " +
                                            std::to_string(k.count) +
                                            " whole numbers separated by commas") == 0;
            }
            out.push_back(m);
        }
    }
    if (out.empty()) {
        out.push_back({Kind::kRect, {0, 0, int32_t(width), int32_t(height)}});
    }
    return true;
}

void Measure(ZelIrHandle handle, Measurement& m) {
    const auto& a = m.at;
    if (m.kind == Kind::kPoint) {
        const bool fits = a[0] >= 0 && a[1] >= 0 && a[0] <= INT16_MAX && a[1] <= INT16_MAX;
        m.celsius = fits ? ZelIr_GetTempVal(handle, int16_t(a[0]), int16_t(a[1])) : NAN;
    } else if (m.kind == Kind::kRect) {
        ZelIr_GetRectTemp(handle, a[0], a[1], a[2], a[3], &m.stats);
    } else {
        ZelIr_GetLineTemp(handle, a[0], a[1], a[2], a[3], &m.stats);
    }
}

std::string Number(float v, const char* nan) {
    if (std::isnan(v)) return nan;
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", v);
    return text;
}

std::string Where(const Measurement& m) {
    std::string text;
    for (int32_t v : m.at) text += (text.empty() ? "" : ",") + std::to_string(v);
    return text;
}

void PrintText(const std::vector<Measurement>& ms) {
    for (const Measurement& m : ms) {
        if (m.kind == Kind::kPoint) {
            std::printf("point %s: %s C\n", Where(m).c_str(),
                        Number(m.celsius, "no temperature").c_str());
            continue;
        }
        const ZelIrTempStats& s = m.stats;
        std::printf("%s %s: min %s C at %d,%d  max %s C at %d,%d  mean %s C  (%u of %u pixels)\n",
                    KindName(m.kind), Where(m).c_str(), Number(s.minCelsius, "-").c_str(), s.minX,
                    s.minY, Number(s.maxCelsius, "-").c_str(), s.maxX, s.maxY,
                    Number(s.meanCelsius, "-").c_str(), s.pixels, s.total);
    }
}

void PrintCsv(const std::vector<Measurement>& ms) {
    std::printf("kind,where,celsius,min,min_x,min_y,max,max_x,max_y,mean,pixels,total\n");
    for (const Measurement& m : ms) {
        const ZelIrTempStats& s = m.stats;
        if (m.kind == Kind::kPoint) {
            std::printf("point,\"%s\",%s,,,,,,,,1,1\n", Where(m).c_str(),
                        Number(m.celsius, "nan").c_str());
            continue;
        }
        std::printf("%s,\"%s\",,%s,%d,%d,%s,%d,%d,%s,%u,%u\n", KindName(m.kind), Where(m).c_str(),
                    Number(s.minCelsius, "nan").c_str(), s.minX, s.minY,
                    Number(s.maxCelsius, "nan").c_str(), s.maxX, s.maxY,
                    Number(s.meanCelsius, "nan").c_str(), s.pixels, s.total);
    }
}

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
    return out + "\"";
}

void PrintJson(const std::string& source, uint32_t frame, const std::vector<Measurement>& ms) {
    std::printf("{\"source\": %s, \"frame\": %u, \"measurements\": [", JsonText(source).c_str(),
                frame);
    for (size_t i = 0; i < ms.size(); ++i) {
        const Measurement& m = ms[i];
        std::printf("%s\n  {\"kind\": \"%s\", \"at\": [%s]", i ? "," : "", KindName(m.kind),
                    Where(m).c_str());
        if (m.kind == Kind::kPoint) {
            std::printf(", \"celsius\": %s}", Number(m.celsius, "null").c_str());
            continue;
        }
        const ZelIrTempStats& s = m.stats;
        std::printf(
            ", \"min\": %s, \"min_at\": [%d,%d], \"max\": %s, \"max_at\": [%d,%d], "
            "\"mean\": %s, \"pixels\": %u, \"total\": %u}",
            Number(s.minCelsius, "null").c_str(), s.minX, s.minY,
            Number(s.maxCelsius, "null").c_str(), s.maxX, s.maxY,
            Number(s.meanCelsius, "null").c_str(), s.pixels, s.total);
    }
    std::printf("\n]}\n");
}

bool WriteFrame(ZelIrHandle handle, const std::string& path) {
    uint32_t width = 0, height = 0;
    ZelIr_GetDigitArrayPara(handle, &width, &height);
    std::vector<float> celsius(size_t{width} * height);
    return ZelIr_GetTempArray(handle, celsius.data()) == 1 &&
           WriteFloatImage(path, celsius, width, height);
}

}  // namespace

int RunTemp(const Args& args) {
    std::set<std::string> known = {"point", "rect", "line", "frame", "json", "csv", "out"};
    known.insert(kObjectOptions.begin(), kObjectOptions.end());
    if (!CheckUsage(args, "temp", 1, 1, known)) return kExitUsage;
    if (args.Has("json") && args.Has("csv"))
        return Fail(kExitUsage, "temp: --json or --csv, not both");
    const auto out = args.Option("out");
    if (out && !IsFloatImagePath(*out)) {
        return Fail(kExitUsage, "temp: --out takes a .tiff, .tif or .npy file");
    }
    const std::string& path = args.Positional()[0];
    Handle handle = OpenOrExplain(path);
    if (!handle) return kExitFailure;
    const uint32_t frames = FrameCount(handle.get());
    const auto frame = ParseInteger(args.Option("frame").value_or("0"), 0, frames - 1);
    if (!frame)
        return Fail(kExitUsage, "temp: --frame must lie in 0.." + std::to_string(frames - 1));
    if (!ApplyObjectOptions(handle.get(), args)) return kExitUsage;
    ZelIrRadiometry constants;
    if (ZelIr_GetRadiometry(handle.get(), &constants) != 1) {
        return Fail(kExitFailure, "no radiometric constants for " + path +
                                      " (a camera gets them from 'zelir calibrate')");
    }
    if (!FetchFrame(handle.get(), static_cast<uint32_t>(*frame))) {
        return Fail(kExitFailure, "cannot read frame " + std::to_string(*frame));
    }
    uint32_t width = 0, height = 0;
    ZelIr_GetDigitArrayPara(handle.get(), &width, &height);
    std::vector<Measurement> measurements;
    if (!CollectRegions(args, width, height, measurements)) return kExitUsage;
    for (Measurement& m : measurements) Measure(handle.get(), m);
    if (out && !WriteFrame(handle.get(), *out)) return Fail(kExitFailure, "cannot write " + *out);

    if (args.Has("json")) {
        PrintJson(path, static_cast<uint32_t>(*frame), measurements);
    } else if (args.Has("csv")) {
        PrintCsv(measurements);
    } else {
        PrintText(measurements);
    }
    return kExitOk;
}

}  // namespace zelir_cli
