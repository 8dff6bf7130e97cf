#include "api/camera_config.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string_view>

namespace zelir {
namespace {

constexpr uint16_t kReplyIdFirst = 2049;
constexpr uint16_t kReplyIdSecond = 2050;
constexpr int32_t kValue52Limit = 100000;

// Cameras behind this frame grabber report these two words wrongly.
constexpr std::string_view kAdlinkModel = "IR_CL_ADLINK";
constexpr uint32_t kAdlinkWordB = 863;
constexpr uint32_t kAdlinkWordC = 57651;

uint16_t U16(std::span<const uint8_t> r, size_t at) {
    return static_cast<uint16_t>(r[at] | r[at + 1] << 8);
}
uint32_t U32(std::span<const uint8_t> r, size_t at) {
    return uint32_t{U16(r, at)} | uint32_t{U16(r, at + 2)} << 16;
}

// Text up to its terminator, never past `room` bytes.
std::string_view Text(const char* text, size_t room) {
    return {text, strnlen(text, room)};
}

// A zero-terminated comparison that reads no further than `room` bytes; text whose terminator
// lies beyond them is not the expected text.
bool IsText(const char* text, size_t room, std::string_view expected) {
    return expected.size() < room && std::memcmp(text, expected.data(), expected.size()) == 0 &&
           text[expected.size()] == '\0';
}

uint16_t RoundedLog2(uint16_t v) {
    if (v == 0) return 0;  // log of 0 has no value: report 0 rather than convert infinity
    const float ln = std::log(static_cast<float>(v));
    return static_cast<uint16_t>(static_cast<int>(static_cast<double>(ln) / std::log(2.0) + 0.5));
}

// Words A, B and C of the reply (B and C possibly replaced).
struct ModelWords {
    uint32_t a, b, c;
};

void ApplyModelRule(std::string_view model, const ModelWords& w, CameraConfig& c) {
    const uint32_t a = w.a;
    const uint32_t m = (a & 0xC) >> 2;
    const auto flags = [&](uint32_t f1) {
        c.flagF1 = static_cast<uint16_t>(f1);
        c.valueF2 = static_cast<uint16_t>((a & 0xC000) >> 14);
    };
    // The record is packed: lists are copied as bytes, never through a uint16_t pointer.
    const auto lists = [&c](std::array<uint16_t, 4> l, std::array<uint16_t, 4> n, uint16_t countL,
                            uint16_t countN) {
        c.countL = countL;
        std::memcpy(c.listL, l.data(), sizeof c.listL);
        c.countN = countN;
        std::memcpy(c.listN, n.data(), sizeof c.listN);
    };
    if (model == "KOLDA" || model == "PRAVO12" || model == "MX209R") {
        c.optionS = static_cast<uint16_t>(a & 3);
        lists({0, 1, 2, 3}, {2, 4, 8, 0}, 4, 3);
        c.optionM = static_cast<uint16_t>(1u << (std::max<int>(static_cast<int>(m) - 1, 0) + 1));
        c.optionP = static_cast<uint16_t>((a & 0x60) >> 5);
        flags((a & 0x400) >> 10);
        if (model == "MX209R") {
            c.flagF3 = static_cast<uint16_t>((a & 0x200) >> 9);
            c.flagF4 = static_cast<uint16_t>((a & 0x10) >> 4);
        }
    } else if (model == "MX204R" || model == "MX207R") {
        const bool is204 = model == "MX204R";
        c.optionS = static_cast<uint16_t>(is204 ? (w.b & 1) : (w.c & 4) >> 2);
        lists({0, 0, 0, 0}, {4, 0, 0, 0}, 4, 1);
        c.optionM = 4;
        c.optionP = static_cast<uint16_t>(is204 ? (w.c & 0xC) >> 2 : (w.c & 0x30) >> 4);
        flags((a & 0x2000) >> 13);
    } else if (model == "QORDEN551K") {
        c.optionS = static_cast<uint16_t>(w.b & 1);
        lists({0, 1, 0, 0}, {4, 8, 0, 0}, 2, 2);
        c.optionM = static_cast<uint16_t>(4u << ((w.b & 2) >> 1));
        c.optionP = static_cast<uint16_t>((w.b & 0xC) >> 2);
        flags((a & 0x2000) >> 13);
    }
}

}  // namespace

bool FillCameraConfig(std::span<const uint8_t, kConfigReplyBytes> reply, const char* modelText,
                      size_t modelTextRoom, CameraConfig& c) {
    std::memset(&c, 0, sizeof c);
    const uint16_t id = U16(reply, 0);
    if (id != kReplyIdFirst && id != kReplyIdSecond) return false;
    ModelWords words{U32(reply, 64), U32(reply, 68), U32(reply, 72)};
    if (modelText != nullptr && IsText(modelText, modelTextRoom, kAdlinkModel)) {
        words.b = kAdlinkWordB;
        words.c = kAdlinkWordC;
    }
    const auto bytes = [&reply](size_t at, auto& field) {
        std::memcpy(&field, &reply[at], sizeof field);
    };
    // Texts end at their terminator; what the reply holds behind it stays out of the record.
    const auto text = [&reply](size_t at, char(&field)[16]) {
        const auto* source = reinterpret_cast<const char*>(&reply[at]);
        std::memcpy(field, source, strnlen(source, sizeof field));
    };
    text(76, c.model);
    bytes(92, c.reply92);
    text(108, c.text108);
    bytes(124, c.reply124);
    bytes(140, c.reply140);
    c.wordB = words.b;
    c.wordC = words.c;
    c.word60 = U32(reply, 60);
    c.value36 = U16(reply, 36);
    c.value38 = U16(reply, 38);
    c.value40 = U16(reply, 40);
    c.value42 = U16(reply, 42);
    c.value28 = U16(reply, 28);
    c.value192 = U16(reply, 192);
    c.value34 = U16(reply, 34);
    c.value32 = U16(reply, 32);
    c.value44 = U16(reply, 44);
    c.value46 = U16(reply, 46);
    c.value48 = U16(reply, 48);
    c.log2Value58 = RoundedLog2(U16(reply, 58));
    const auto value52 = static_cast<int32_t>(U32(reply, 52));
    c.value52 = value52 > kValue52Limit || value52 < -kValue52Limit ? 0 : value52;
    c.value172 = U16(reply, 172);
    bytes(174, c.reply174);
    // The model text runs on into the following bytes when all 16 are used.
    const auto* model = reinterpret_cast<const char*>(&reply[76]);
    ApplyModelRule(Text(model, reply.size() - 76), words, c);
    return true;
}

}  // namespace zelir
