// Command-line (and admin-port) settings of the camera emulator.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace camsim {

struct Window {
    bool on = false;
    uint16_t width = 0, height = 0, x = 0, y = 0;
};

struct Options {
    std::string interface = "zc0";
    uint16_t width = 640;
    uint16_t height = 512;
    double rate = 25.0;            // frames per second
    bool pixel8 = false;           // 8-bit pixels (data format 0x0108) instead of 16-bit
    uint32_t lineRateMbps = 1000;  // packet pacing within a frame; 0 sends bursts
    uint32_t frameLimit = 0;       // stop streaming after this many frames (0: no limit)
    bool autostart = false;        // stream without waiting for register 27
    std::string serial = "ZS000042";
    std::string manufacturer = "ZelIr";
    std::string model = "G003L";
    uint16_t adminPort = 0;  // text control port for tests (0: none)
    // MAC reported in discovery instead of the interface's (tests of a camera seen twice).
    bool reportMac = false;
    std::array<uint8_t, 6> mac{};
    Window window;
    uint16_t uniformLevel = 0;  // non-zero: a uniform scene at this level instead of the scene

    // What the scene shows, in degrees Celsius (see thermal_scene.h).
    float blackbodyCelsius = 35.0f;
    bool blackbodyView = false;  // the blackbody target fills the view
    float emissivity = 1.0f;
    float reflectedCelsius = 20.0f;
    float transmission = 1.0f;
    float atmosphereCelsius = 20.0f;
    float noise = 2.0f;  // temporal noise, digit values

    // Stream faults, applied to every n-th frame (frames n, 2n, ... counted from 1).
    uint32_t faultEvery = 1;
    int32_t dropPacket = -1;
    int32_t repeatPacket = -1;
    int32_t reorderPacket = -1;  // packet k+1 is sent before packet k
    bool repeatBlockId = false;  // the frame reuses the previous frame's block id
    // Random stream faults, in percent of frames, drawn from a generator seeded with `seed`:
    // the frame loses one packet, has two neighbouring packets swapped, or one packet twice.
    float lossPercent = 0.0f;
    float reorderPercent = 0.0f;
    float duplicatePercent = 0.0f;
    uint32_t seed = 1;
    bool pauseStream = false;   // the stream goes quiet (frames are not sent) until resumed
    bool stampPackets = false;  // each packet's first 4 data bytes carry the frame id

    // Control faults.
    bool silent = false;
    uint16_t errorStatus = 0;  // non-zero: every answer carries this status and no data
    uint32_t lateMs = 0;
    bool answerTwice = false;

    // Framed commands: what the camera reports back, its configuration block and transfers.
    float freqOffset = 0.0f;     // added to the frame frequency a query reports
    uint16_t ignoreWrites = 0;   // setting id whose writes are acknowledged but not kept
    uint16_t replyLengthId = 0;  // setting id whose replies are cut or padded ...
    uint16_t replyLength = 0;    // ... to this many bytes
    std::string configModel = "KOLDA";
    uint16_t configId = 2049;             // reply identifier of the configuration block
    uint32_t configWords[3] = {0, 0, 0};  // words A, B, C at offsets 64, 68, 72
    int32_t configValue52 = 1234;
    uint16_t configValue58 = 14;
    uint32_t rejectBlock = 0;  // array transfer: refuse data block N (1-based), 0 none
    uint32_t flashPolls = 3;   // flash progress reaches the target on this poll
    uint32_t flashTarget = 100;
};

// Applies "--name value" arguments on top of opts. Returns false with a reason on bad input.
bool ParseOptions(const std::vector<std::string>& args, Options& opts, std::string& error);
const char* UsageText();

}  // namespace camsim
