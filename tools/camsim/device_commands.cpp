#include "device_commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "byte_order.h"

namespace camsim {
namespace {

constexpr uint16_t kExposureMode = 1799;
constexpr uint16_t kGain = 1817;
constexpr uint16_t kTriggerWord = 1818;
constexpr uint16_t kExposureTime = 1826;
constexpr uint16_t kFlipDir = 1845;
constexpr uint16_t kFrameFrequency = 1868;
constexpr uint16_t kPixelFormat = 1893;
constexpr uint16_t kConfiguration = 1913;
constexpr uint16_t kProgressQuery = 1926;
constexpr uint16_t kProgramFlash = 1927;
constexpr uint16_t kBlockTransfer = 1929;
constexpr uint16_t kBadPointList = 1984;

constexpr uint32_t kSoftTriggerBit = 2;
constexpr size_t kHeader = 10;
constexpr size_t kChecksum = 2;
constexpr size_t kConfigBytes = 256;

struct FramedMessage {
    uint8_t flag;
    uint16_t id;
    std::span<const uint8_t> data;
};

bool Parse(std::span<const uint8_t> m, FramedMessage& out) {
    if (m.size() < kHeader + kChecksum || m[0] != 0x55 || m[1] != 0xAA || m[2] != 0x10)
        return false;
    const size_t n = GetLe16(&m[6]);
    if (GetLe16(&m[3]) != n + 5) return false;
    if (kHeader + n + kChecksum > m.size()) return false;
    uint16_t sum = 0;
    for (size_t i = 3; i < kHeader + n; ++i) sum = static_cast<uint16_t>(sum + m[i]);
    if (sum != GetLe16(&m[kHeader + n])) return false;
    out = FramedMessage{m[5], GetLe16(&m[8]), m.subspan(kHeader, n)};
    return true;
}

std::vector<uint8_t> Words(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> bytes(values.size() * 4);
    size_t at = 0;
    for (uint32_t v : values) PutLe32(&bytes[(at++) * 4], v);
    return bytes;
}

uint32_t GetLe32(const uint8_t* p) {
    return uint32_t{GetLe16(p)} | uint32_t{GetLe16(p + 2)} << 16;
}

uint32_t FloatBits(float f) {
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float BitsFloat(uint32_t bits) {
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::string Hex(std::span<const uint8_t> bytes) {
    std::string text;
    char two[3];
    for (uint8_t b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        text += two;
    }
    return text;
}

// FNV-1a, 64 bits: lets a test compare a large transfer without shipping it back.
uint64_t Fnv1a(std::span<const uint8_t> bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (uint8_t b : bytes) h = (h ^ b) * 0x100000001b3ull;
    return h;
}

}  // namespace

std::vector<uint8_t> ConfigurationBlock(const Options& o) {
    std::vector<uint8_t> block(kConfigBytes);
    // A pattern that tells every byte apart, so each copied field can be checked.
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 37 + 11);
    PutLe16(&block[0], o.configId);
    PutLe32(&block[52], static_cast<uint32_t>(o.configValue52));
    PutLe16(&block[58], o.configValue58);
    for (int k = 0; k < 3; ++k) PutLe32(&block[64 + 4 * k], o.configWords[k]);
    std::memset(&block[76], 0, 16);
    std::memcpy(&block[76], o.configModel.data(), std::min<size_t>(16, o.configModel.size()));
    std::memset(&block[108], 0, 16);
    std::memcpy(&block[108], "camsim", 6);
    return block;
}

DeviceCommands::DeviceCommands(float frameRate) : frameRate_(frameRate) {
    Reset();
}

void DeviceCommands::Reset() {
    settings_.clear();
    counts_.clear();
    // Current, lowest and highest value.
    settings_[kFrameFrequency] = Words({FloatBits(frameRate_), FloatBits(1.0f), FloatBits(60.0f)});
    settings_[kExposureTime] = Words({1200, 10, 20000});
    settings_[kExposureMode] = Words({0});
    settings_[kGain] = Words({1});
    settings_[kPixelFormat] = Words({0});
    settings_[kFlipDir] = Words({0});
    settings_[kTriggerWord] = Words({0});
    softTriggers_ = 0;
    array_ = Transfer{};
    buffer_ = Transfer{};
    flashProgramming_ = false;
    flashValue_ = flashPolls_ = 0;
    badPointMessages_ = 0;
    badPointsEnded_ = false;
    badPoints_.clear();
}

uint16_t DeviceCommands::Handle(std::span<const uint8_t> message, bool acknowledged,
                                const Options& o, std::vector<uint8_t>& reply) {
    reply.clear();
    FramedMessage m{};
    if (!Parse(message, m)) return kStatusInvalidParameter;
    switch (m.id) {
        case kConfiguration:
            reply = ConfigurationBlock(o);
            return kStatusOk;
        case kBlockTransfer:
            // Arrays are acknowledged block by block; a buffer goes out unacknowledged.
            if (acknowledged) return ArrayBlock(m.data, o);
            BufferBlock(m.data);
            return kStatusOk;
        case kProgramFlash:
            if (m.data.size() < 4) return kStatusInvalidParameter;
            flashProgramming_ = true;
            flashValue_ = GetLe32(m.data.data());
            flashPolls_ = 0;
            return kStatusOk;
        case kProgressQuery:
            if (m.data.size() < 4 || GetLe32(m.data.data()) != kProgramFlash)
                return kStatusInvalidParameter;
            return FlashProgress(o, reply);
        case kBadPointList:
            BadPoints(m.data);
            return kStatusOk;
        default:
            return Setting(m.id, m.flag, m.data, o, reply);
    }
}

uint16_t DeviceCommands::Setting(uint16_t id, uint8_t flag, std::span<const uint8_t> data,
                                 const Options& o, std::vector<uint8_t>& reply) {
    std::vector<uint8_t>& value = settings_[id];
    if (flag == 1) {
        ++counts_[id].writes;
        if (id == o.ignoreWrites) return kStatusOk;
        std::vector<uint8_t> written(data.begin(), data.end());
        // The pulse bit triggers one frame; the camera does not keep it.
        if (id == kTriggerWord && written.size() >= 4 && (written[0] & kSoftTriggerBit)) {
            ++softTriggers_;
            written[0] &= static_cast<uint8_t>(~kSoftTriggerBit);
        }
        // A write replaces the current value, which leads the stored bytes.
        if (value.size() < written.size()) value.resize(written.size());
        std::copy(written.begin(), written.end(), value.begin());
        return kStatusOk;
    }
    ++counts_[id].queries;
    if (value.empty()) value.assign(4, 0);
    reply = value;
    if (id == kFrameFrequency && o.freqOffset != 0.0f)
        PutLe32(&reply[0], FloatBits(BitsFloat(GetLe32(&reply[0])) + o.freqOffset));
    if (id == o.replyLengthId) reply.resize(o.replyLength, 0);
    return kStatusOk;
}

// Start (phase 1, offset 0, total bytes and blocks), data blocks at increasing offsets, end
// (phase 2, offset = total bytes). Anything else is counted as an error and refused.
uint16_t DeviceCommands::ArrayBlock(std::span<const uint8_t> data, const Options& o) {
    if (data.size() < 4) return kStatusInvalidParameter;
    const uint32_t type = data[0] & 0x3F;
    const uint32_t phase = data[0] >> 6;
    const uint32_t offset = GetLe32(data.data()) >> 8;
    const auto payload = data.subspan(4);
    Transfer& t = array_;
    auto refuse = [&t]() {
        ++t.errors;
        return kStatusInvalidParameter;
    };
    if (phase == 1) {
        if (offset != 0 || payload.size() != 8) return refuse();
        t = Transfer{};
        t.started = true;
        t.type = type;
        t.declaredSize = GetLe32(&payload[0]);
        t.declaredBlocks = GetLe32(&payload[4]);
        return kStatusOk;
    }
    if (!t.started || t.ended || type != t.type) return refuse();
    if (phase == 0) {
        if (offset != t.data.size()) return refuse();
        if (o.rejectBlock != 0 && offset / 512 + 1 == o.rejectBlock) {
            ++t.rejected;
            return kStatusAccessDenied;
        }
        t.data.insert(t.data.end(), payload.begin(), payload.end());
        ++t.blocks;
        return kStatusOk;
    }
    if (phase != 2 || offset != t.declaredSize || payload.size() != 8 ||
        GetLe32(&payload[0]) != t.declaredSize || GetLe32(&payload[4]) != t.declaredBlocks ||
        t.data.size() != t.declaredSize || t.blocks != t.declaredBlocks)
        return refuse();
    t.ended = true;
    return kStatusOk;
}

// Header byte: type OR 0x40 first block, type middle blocks, type OR 0x80 last block.
void DeviceCommands::BufferBlock(std::span<const uint8_t> data) {
    Transfer& t = buffer_;
    if (data.size() < 4) {
        ++t.errors;
        return;
    }
    const uint32_t flags = data[0] & 0xC0;
    const uint32_t offset = GetLe32(data.data()) >> 8;
    const auto payload = data.subspan(4);
    if (flags == 0x40) {
        t = Transfer{};
        t.started = true;
        t.type = data[0] & 0x3F;
    } else if (!t.started || t.ended || (data[0] & 0x3Fu) != t.type) {
        ++t.errors;
        return;
    }
    if (offset != t.data.size()) {
        ++t.errors;
        return;
    }
    t.data.insert(t.data.end(), payload.begin(), payload.end());
    ++t.blocks;
    if (flags == 0x80) t.ended = true;
}

// Start marker 00 00 00 00, (column, row) pairs, end marker FF FF FF FF.
void DeviceCommands::BadPoints(std::span<const uint8_t> data) {
    ++badPointMessages_;
    const bool marker = data.size() == 4;
    if (marker && GetLe32(data.data()) == 0) {
        badPoints_.clear();
        badPointsEnded_ = false;
        badPointMessages_ = 1;
        return;
    }
    if (marker && GetLe32(data.data()) == 0xFFFFFFFF) {
        badPointsEnded_ = true;
        return;
    }
    for (size_t i = 0; i + 4 <= data.size(); i += 4)
        badPoints_.emplace_back(GetLe16(&data[i]), GetLe16(&data[i + 2]));
}

// Progress climbs evenly and reaches the target on poll number flashPolls.
uint16_t DeviceCommands::FlashProgress(const Options& o, std::vector<uint8_t>& reply) {
    uint64_t progress = 0;
    if (flashProgramming_) {
        ++flashPolls_;
        const uint32_t polls = std::max<uint32_t>(o.flashPolls, 1);
        progress = uint64_t{std::min(flashPolls_, polls)} * o.flashTarget / polls;
    }
    reply = Words({static_cast<uint32_t>(progress)});
    return kStatusOk;
}

std::string DeviceCommands::Store(const std::vector<std::string>& what) {
    if (what.size() != 2 || what[1].size() % 2 != 0)
        return "error: store takes a setting id and hex bytes";
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < what[1].size(); i += 2) {
        char* end = nullptr;
        const std::string two = what[1].substr(i, 2);
        bytes.push_back(static_cast<uint8_t>(std::strtoul(two.c_str(), &end, 16)));
        if (*end != '\0') return "error: not hex: " + what[1];
    }
    settings_[static_cast<uint16_t>(std::strtoul(what[0].c_str(), nullptr, 0))] = bytes;
    return "ok";
}

std::string DeviceCommands::State(const std::vector<std::string>& what, const Options& o) const {
    const std::string part = what.empty() ? "" : what[0];
    auto transfer = [](const Transfer& t) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "started=%d ended=%d type=%u size=%zu declared_size=%u declared_blocks=%u "
                      "blocks=%u errors=%u rejected=%u hash=%016llx",
                      t.started, t.ended, t.type, t.data.size(), t.declaredSize, t.declaredBlocks,
                      t.blocks, t.errors, t.rejected,
                      static_cast<unsigned long long>(Fnv1a(t.data)));
        return std::string(text);
    };
    if (part == "setting" && what.size() == 2) {
        const auto id = static_cast<uint16_t>(std::strtoul(what[1].c_str(), nullptr, 0));
        const auto value = settings_.find(id);
        const auto counts = counts_.find(id);
        const SettingCounts c = counts != counts_.end() ? counts->second : SettingCounts{};
        std::string text = "value=" + (value != settings_.end() ? Hex(value->second) : "") +
                           " writes=" + std::to_string(c.writes) +
                           " queries=" + std::to_string(c.queries);
        if (id == kTriggerWord) text += " soft=" + std::to_string(softTriggers_);
        return text;
    }
    if (part == "config") return "bytes=" + Hex(ConfigurationBlock(o));
    if (part == "transfer") return transfer(array_);
    if (part == "buffer") return transfer(buffer_);
    if (part == "flash") {
        return "programming=" + std::to_string(flashProgramming_) +
               " value=" + std::to_string(flashValue_) + " polls=" + std::to_string(flashPolls_);
    }
    if (part == "badpoints") {
        std::string points;
        for (const auto& [x, y] : badPoints_) {
            if (!points.empty()) points += ';';
            points += std::to_string(x) + "," + std::to_string(y);
        }
        return "messages=" + std::to_string(badPointMessages_) +
               " ended=" + std::to_string(badPointsEnded_) +
               " count=" + std::to_string(badPoints_.size()) + " points=" + points;
    }
    return "error: state takes setting ID, config, transfer, buffer, flash or badpoints";
}

}  // namespace camsim
