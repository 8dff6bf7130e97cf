#include "camsim_options.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>

namespace camsim {
namespace {

bool ToUnsigned(const std::string& text, uint64_t max, uint64_t& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (*end != '\0' || v > max) return false;
    out = v;
    return true;
}

template <typename T>
std::function<bool(const std::string&)> Number(T& field, uint64_t max) {
    return [&field, max](const std::string& v) {
        uint64_t n = 0;
        if (!ToUnsigned(v, max, n)) return false;
        field = static_cast<T>(n);
        return true;
    };
}

std::function<bool(const std::string&)> PacketIndex(int32_t& field) {
    return [&field](const std::string& v) {
        uint64_t n = 0;
        if (!ToUnsigned(v, 4095, n)) return false;
        field = static_cast<int32_t>(n);
        return true;
    };
}

// A decimal number within [min, max].
std::function<bool(const std::string&)> Real(float& field, double min, double max) {
    return [&field, min, max](const std::string& v) {
        if (v.empty()) return false;
        char* end = nullptr;
        const double n = std::strtod(v.c_str(), &end);
        if (*end != '\0' || !(n >= min && n <= max)) return false;
        field = static_cast<float>(n);
        return true;
    };
}

std::function<bool(const std::string&)> Signed(int32_t& field) {
    return [&field](const std::string& v) {
        if (v.empty()) return false;
        char* end = nullptr;
        const long long n = std::strtoll(v.c_str(), &end, 0);
        if (*end != '\0' || n < INT32_MIN || n > INT32_MAX) return false;
        field = static_cast<int32_t>(n);
        return true;
    };
}

// "ID:N": a setting id and a byte count.
bool ParseReplyLength(const std::string& text, Options& o) {
    const size_t colon = text.find(':');
    uint64_t id = 0, length = 0;
    if (colon == std::string::npos || !ToUnsigned(text.substr(0, colon), 0xFFFF, id) ||
        !ToUnsigned(text.substr(colon + 1), 512, length))
        return false;
    o.replyLengthId = static_cast<uint16_t>(id);
    o.replyLength = static_cast<uint16_t>(length);
    return true;
}

bool ParseWindow(const std::string& text, Window& w) {
    unsigned width = 0, height = 0, x = 0, y = 0;
    if (std::sscanf(text.c_str(), "%ux%u+%u+%u", &width, &height, &x, &y) < 2) return false;
    if (width == 0 || height == 0 || width > 65535 || height > 65535 || x > 65535 || y > 65535)
        return false;
    w = Window{true, uint16_t(width), uint16_t(height), uint16_t(x), uint16_t(y)};
    return true;
}

bool ParseMac(const std::string& text, Options& o) {
    unsigned b[6] = {};
    char tail = 0;
    if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &b[0], &b[1], &b[2], &b[3], &b[4],
                    &b[5], &tail) != 6) {
        return false;
    }
    for (size_t i = 0; i < o.mac.size(); ++i) o.mac[i] = static_cast<uint8_t>(b[i]);
    o.reportMac = true;
    return true;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
    using Setter = std::function<bool(const std::string&)>;
    const std::map<std::string, Setter> valued = {
        {"--interface", [&o](const std::string& v) { return !(o.interface = v).empty(); }},
        {"--width", Number(o.width, 1280)},
        {"--height", Number(o.height, 1024)},
        {"--rate",
         [&o](const std::string& v) {
             char* end = nullptr;
             o.rate = std::strtod(v.c_str(), &end);
             return *end == '\0' && o.rate > 0.0 && o.rate <= 10000.0;
         }},
        {"--line-rate-mbps", Number(o.lineRateMbps, 100000)},
        {"--frames", Number(o.frameLimit, UINT32_MAX)},
        {"--serial", [&o](const std::string& v) { return !(o.serial = v).empty(); }},
        {"--manufacturer", [&o](const std::string& v) { return !(o.manufacturer = v).empty(); }},
        {"--model", [&o](const std::string& v) { return !(o.model = v).empty(); }},
        {"--admin-port", Number(o.adminPort, 65535)},
        {"--window", [&o](const std::string& v) { return ParseWindow(v, o.window); }},
        {"--mac", [&o](const std::string& v) { return ParseMac(v, o); }},
        {"--uniform", Number(o.uniformLevel, 16383)},
        {"--blackbody", Real(o.blackbodyCelsius, -100.0, 1000.0)},
        {"--emissivity", Real(o.emissivity, 0.01, 1.0)},
        {"--reflected", Real(o.reflectedCelsius, -100.0, 1000.0)},
        {"--transmission", Real(o.transmission, 0.01, 1.0)},
        {"--atmosphere", Real(o.atmosphereCelsius, -100.0, 1000.0)},
        {"--noise", Real(o.noise, 0.0, 1000.0)},
        {"--fault-every", Number(o.faultEvery, UINT32_MAX)},
        {"--drop-packet", PacketIndex(o.dropPacket)},
        {"--repeat-packet", PacketIndex(o.repeatPacket)},
        {"--reorder-packet", PacketIndex(o.reorderPacket)},
        {"--loss-percent", Real(o.lossPercent, 0.0, 100.0)},
        {"--reorder-percent", Real(o.reorderPercent, 0.0, 100.0)},
        {"--duplicate-percent", Real(o.duplicatePercent, 0.0, 100.0)},
        {"--seed", Number(o.seed, UINT32_MAX)},
        {"--error-status", Number(o.errorStatus, 0xFFFF)},
        {"--late-ms", Number(o.lateMs, 60000)},
        {"--freq-offset",
         [&o](const std::string& v) {
             char* end = nullptr;
             o.freqOffset = std::strtof(v.c_str(), &end);
             return !v.empty() && *end == '\0';
         }},
        {"--ignore-writes", Number(o.ignoreWrites, 0xFFFF)},
        {"--reply-length", [&o](const std::string& v) { return ParseReplyLength(v, o); }},
        {"--config-model",
         [&o](const std::string& v) { return v.size() <= 16 && !(o.configModel = v).empty(); }},
        {"--config-id", Number(o.configId, 0xFFFF)},
        {"--config-word-a", Number(o.configWords[0], UINT32_MAX)},
        {"--config-word-b", Number(o.configWords[1], UINT32_MAX)},
        {"--config-word-c", Number(o.configWords[2], UINT32_MAX)},
        {"--config-value52", Signed(o.configValue52)},
        {"--config-value58", Number(o.configValue58, 0xFFFF)},
        {"--reject-block", Number(o.rejectBlock, UINT32_MAX)},
        {"--flash-polls", Number(o.flashPolls, 1000)},
        {"--flash-target", Number(o.flashTarget, UINT32_MAX)},
    };
    const std::map<std::string, bool*> flags = {
        {"--pixel8", &o.pixel8},
        {"--blackbody-view", &o.blackbodyView},
        {"--autostart", &o.autostart},
        {"--repeat-block-id", &o.repeatBlockId},
        {"--silent", &o.silent},
        {"--answer-twice", &o.answerTwice},
        {"--pause-stream", &o.pauseStream},
        {"--stamp-packets", &o.stampPackets},
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--pixel16") {
            o.pixel8 = false;
        } else if (name == "--interface-mac") {
            o.reportMac = false;
        } else if (name == "--scene-view") {
            o.blackbodyView = false;
        } else if (name == "--no-answer-twice") {
            o.answerTwice = false;
        } else if (name == "--resume-stream") {
            o.pauseStream = false;
        } else if (name == "--no-window") {
            o.window = Window{};
        } else if (name == "--no-faults") {
            const Options clean;
            o.faultEvery = clean.faultEvery;
            o.dropPacket = o.repeatPacket = o.reorderPacket = -1;
            o.lossPercent = o.reorderPercent = o.duplicatePercent = 0.0f;
            o.repeatBlockId = o.silent = o.answerTwice = false;
            o.errorStatus = 0;
            o.lateMs = 0;
            o.freqOffset = 0.0f;
            o.ignoreWrites = o.replyLengthId = o.replyLength = 0;
            o.rejectBlock = 0;
        } else if (auto f = flags.find(name); f != flags.end()) {
            *f->second = true;
        } else if (auto v = valued.find(name); v != valued.end()) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            if (!v->second(args[++i])) {
                error = "bad value for " + name + ": " + args[i];
                return false;
            }
        } else {
            error = "unknown option: " + name;
            return false;
        }
    }
    if (o.faultEvery == 0) {
        error = "--fault-every must be at least 1";
        return false;
    }
    return true;
}

const char* UsageText() {
    return "usage: zelir-camsim [options]\n"
           "Camera emulator: answers GVCP discovery, register and device commands on UDP port\n"
           "3956 and streams a synthetic thermal scene from port 3958. Run it inside the\n"
           "zelir-c network namespace (scripts/netns.sh up), e.g.\n"
           "  ip netns exec zelir-c zelir-camsim --interface zc0\n"
           "\n"
           "  --interface NAME       interface to serve (default zc0); its MAC and IPv4 are "
           "reported\n"
           "  --width N --height N   frame geometry (default 640 x 512)\n"
           "  --rate FPS             frames per second (default 25)\n"
           "  --pixel8 | --pixel16   8-bit (data format 0x0108) or 16-bit pixels (default 16)\n"
           "  --line-rate-mbps N     packet pacing within a frame (default 1000; 0 = bursts)\n"
           "  --frames N             stop streaming after N frames (default: no limit)\n"
           "  --autostart            stream at once instead of waiting for register 27 = 1\n"
           "  --window WxH+X+Y       send windowed frames of W x H pixels at X,Y\n"
           "  --no-window            full frames again\n"
           "  --uniform LEVEL        a uniform scene at LEVEL (a reference body filling the\n"
           "                         view, for two-point calibration); 0: the thermal scene\n"
           "Scene, in degrees Celsius (digits = R / (exp(B / T) - F) + O, T in kelvin, with the\n"
           "constants of the model; \"radiometry\" on the admin port reports them):\n"
           "  --blackbody T          temperature of the blackbody target (default 35)\n"
           "  --blackbody-view       the target fills the view; --scene-view: the scene again\n"
           "  --emissivity E         emissivity of everything in view (default 1)\n"
           "  --reflected T          temperature the objects reflect (default 20)\n"
           "  --transmission X       of the atmosphere (default 1)\n"
           "  --atmosphere T         its temperature (default 20)\n"
           "  --noise S              temporal noise, standard deviation in digits (default 2)\n"
           "  --serial TEXT          serial number (default ZS000042, 8 characters are read)\n"
           "  --manufacturer TEXT    manufacturer name (default ZelIr)\n"
           "  --model TEXT           model name (default G003L)\n"
           "  --mac XX:XX:XX:XX:XX:XX  MAC address reported in discovery\n"
           "  --interface-mac        report the interface's MAC again (the default)\n"
           "  --admin-port N         UDP port taking the same options as text at run time:\n"
           "                         \"set <options>\", \"reset\", \"stats\", \"restart\" (the\n"
           "                         stream stops until register 27 is written again) and\n"
           "                         \"state\n"
           "                         setting ID|config|transfer|buffer|flash|badpoints\",\n"
           "                         \"store ID HEX\" (a setting's value, little-endian bytes),\n"
           "                         \"truth X Y [FRAME]\" (true temperature of a pixel),\n"
           "                         \"radiometry\" (the response constants)\n"
           "Faults:\n"
           "  --fault-every N        stream faults hit frames N, 2N, ... (default 1: every frame)\n"
           "  --drop-packet K        do not send packet K\n"
           "  --repeat-packet K      send packet K twice\n"
           "  --reorder-packet K     send packet K+1 before packet K\n"
           "  --repeat-block-id      reuse the previous frame's block id\n"
           "  --loss-percent P       P % of the frames, at random, lose one packet (--seed N)\n"
           "  --reorder-percent P    P % of the frames have two neighbouring packets swapped\n"
           "  --duplicate-percent P  P % of the frames have one packet sent twice\n"
           "  --pause-stream         send no frames until --resume-stream\n"
           "  --stamp-packets        each packet's first 4 data bytes carry the frame id\n"
           "  --silent               answer no control command\n"
           "  --error-status S       answer every command with status S (e.g. 0x8001)\n"
           "  --late-ms MS           answer MS milliseconds late\n"
           "  --answer-twice         send every answer twice (--no-answer-twice: once)\n"
           "  --freq-offset F        report the frame frequency F higher than written\n"
           "  --ignore-writes ID     acknowledge writes to setting ID but keep its value\n"
           "  --reply-length ID:N    cut or pad the replies to setting ID to N bytes\n"
           "  --reject-block N       refuse data block N (from 1) of an array transfer\n"
           "Framed commands:\n"
           "  --config-model TEXT    model text of the configuration block (default KOLDA)\n"
           "  --config-id N          its reply identifier (default 2049)\n"
           "  --config-word-a|-b|-c N  option words at reply offsets 64, 68, 72\n"
           "  --config-value52 N     signed value at reply offset 52 (default 1234)\n"
           "  --config-value58 N     value at reply offset 58 (default 14)\n"
           "  --flash-polls K        flash progress reaches the target on poll K (default 3)\n"
           "  --flash-target T       the progress reported then (default 100)\n"
           "  --no-faults            clear all faults\n"
           "  --help                 this text\n";
}

}  // namespace camsim
