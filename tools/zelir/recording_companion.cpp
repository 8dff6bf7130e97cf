#include "recording_companion.h"

#include <cinttypes>
#include <fstream>
#include <locale>
#include <sstream>
#include <string_view>

#include "parameter_line.h"

namespace zelir_cli {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::optional<std::array<uint8_t, kLineBytes>> ParseHex(const std::string& text) {
    if (text.size() != kLineBytes * 2) return std::nullopt;
    std::array<uint8_t, kLineBytes> bytes{};
    for (size_t i = 0; i < kLineBytes; ++i) {
        const auto high = std::string_view(kHexDigits).find(text[2 * i]);
        const auto low = std::string_view(kHexDigits).find(text[2 * i + 1]);
        if (high == std::string_view::npos || low == std::string_view::npos) return std::nullopt;
        bytes[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return bytes;
}

}  // namespace

std::string CompanionPath(const std::string& movie) {
    return movie + ".meta";
}

bool CompanionWriter::Open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "w");
    if (file_ == nullptr) return false;
    failed_ = std::fputs(
                  "# zelir recording companion: one line per movie frame\n"
                  "# frame arrival_seconds frame_id parameter_line_hex\n",
                  file_) < 0;
    return !failed_;
}

bool CompanionWriter::Append(const QueuedFrame& frame) {
    if (file_ == nullptr) return false;
    // Whole microseconds as integers: no locale decides the decimal point.
    const auto micros = static_cast<uint64_t>(frame.arrivalSeconds * 1e6 + 0.5);
    char head[64];
    std::snprintf(head, sizeof head, "%" PRIu64 " %" PRIu64 ".%06" PRIu64 " ", frames_++,
                  micros / 1000000, micros % 1000000);
    std::string text = head;
    if (frame.hasLine) {
        text += std::to_string(FieldsOf(frame.line).frameId) + " ";
        for (uint8_t byte : frame.line) {
            text += kHexDigits[byte >> 4];
            text += kHexDigits[byte & 0xF];
        }
    } else {
        text += "- -";
    }
    text += '\n';
    if (std::fputs(text.c_str(), file_) < 0) failed_ = true;
    return !failed_;
}

bool CompanionWriter::Finish() {
    if (file_ == nullptr) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && !failed_;
}

CompanionWriter::~CompanionWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

std::optional<std::vector<CompanionFrame>> ReadCompanion(const std::string& movie) {
    std::ifstream in(CompanionPath(movie));
    if (!in) return std::nullopt;
    std::vector<CompanionFrame> frames;
    std::string text;
    while (std::getline(in, text)) {
        if (text.empty() || text[0] == '#') continue;
        std::istringstream words(text);
        words.imbue(std::locale::classic());
        uint64_t index = 0;
        std::string id, line;
        CompanionFrame frame;
        if (!(words >> index >> frame.arrivalSeconds >> id >> line) || index != frames.size()) {
            return std::nullopt;
        }
        if (const auto bytes = ParseHex(line)) {
            frame.line = *bytes;
            frame.hasLine = IsValidLine(frame.line);
        }
        frames.push_back(frame);
    }
    return frames;
}

double ArrivalRate(const std::vector<CompanionFrame>& frames) {
    if (frames.size() < 2) return 0;
    const double span = frames.back().arrivalSeconds - frames.front().arrivalSeconds;
    return span > 0 ? static_cast<double>(frames.size() - 1) / span : 0;
}

double RecordedRate(ZelIrHandle handle, const std::string& path) {
    if (const auto frames = ReadCompanion(path); frames && ArrivalRate(*frames) > 0) {
        return ArrivalRate(*frames);
    }
    ZelIrMovieFacts facts{};
    return ZelIr_MovieGetFacts(handle, &facts) == 1 ? facts.frameRate : 0;
}

}  // namespace zelir_cli
