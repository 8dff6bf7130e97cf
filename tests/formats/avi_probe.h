// What FFmpeg's own tools read from an AVI file: the oracle of the AVI tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_tool.h"

namespace zelir_test {

// Stream facts as ffprobe reports them, by key (codec_name, codec_tag_string, width, height,
// pix_fmt, r_frame_rate, nb_read_frames, TAG:title).
inline std::map<std::string, std::string> ProbeVideo(const std::string& path) {
    const std::string text = RunTool(
        "ffprobe -v error -select_streams v:0 -count_frames -show_entries "
        "stream=codec_name,codec_tag_string,width,height,pix_fmt,r_frame_rate,nb_read_frames:"
        "stream_tags=title -of default=nw=1 '" +
        path + "'");
    std::map<std::string, std::string> facts;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) facts[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return facts;
}

// The flags of every packet of the video stream ("K_" for a key frame), in file order.
inline std::vector<std::string> PacketFlags(const std::string& path) {
    const std::string text = RunTool(
        "ffprobe -v error -select_streams v:0 -show_entries "
        "packet=flags -of csv=p=0 '" +
        path + "'");
    std::vector<std::string> flags;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) flags.push_back(line);
    return flags;
}

// Indices of the packets flagged as key frames.
inline std::vector<int> KeyFrames(const std::string& path) {
    std::vector<int> keys;
    const std::vector<std::string> flags = PacketFlags(path);
    for (size_t i = 0; i < flags.size(); ++i) {
        if (!flags[i].empty() && flags[i][0] == 'K') keys.push_back(static_cast<int>(i));
    }
    return keys;
}

// Every frame decoded by ffmpeg as 24-bit BGR, top row first, one after another.
inline std::vector<uint8_t> DecodeBgr(const std::string& path) {
    const std::string bytes =
        RunTool("ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt bgr24 -");
    return {bytes.begin(), bytes.end()};
}

// Peak signal-to-noise ratio in dB of two pictures of equal size (infinite when equal).
inline double Psnr(const uint8_t* a, const uint8_t* b, size_t count) {
    double squared = 0;
    for (size_t i = 0; i < count; ++i) {
        const double d = static_cast<double>(a[i]) - b[i];
        squared += d * d;
    }
    if (squared == 0) return INFINITY;
    return 10.0 * std::log10(255.0 * 255.0 * static_cast<double>(count) / squared);
}

}  // namespace zelir_test
