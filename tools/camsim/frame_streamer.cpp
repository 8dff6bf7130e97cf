#include "frame_streamer.h"

#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstring>

#include "byte_order.h"
#include "scene_queries.h"

namespace camsim {
namespace {

using Clock = std::chrono::steady_clock;

// Bits one stream packet occupies on Ethernet: UDP payload, UDP/IPv4/Ethernet headers, FCS,
// preamble and inter-frame gap.
constexpr uint32_t kWireBits = (kPacketSize + 8 + 20 + 14 + 4 + 8 + 12) * 8;

void WriteParameterLine(uint8_t* line, const Options& o, uint32_t n) {
    std::memset(line, 0, kParameterLineSize);
    PutLe16(line + 0, 1);                   // marker: line valid
    PutLe16(line + 2, kParameterLineSize);  // line size
    PutLe16(line + 4, o.width);
    PutLe16(line + 6, o.height);
    line[9] = static_cast<uint8_t>(std::min(o.rate, 255.0));
    std::memcpy(line + 10, o.serial.data(), std::min<size_t>(8, o.serial.size()));
    std::memcpy(line + 18, o.model.data(), std::min<size_t>(8, o.model.size()));
    PutLe16(line + 26, 1);
    PutLe32(line + 28, n);                             // frame id
    PutLe16(line + 32, uint16_t(2500 + n % 16));       // ambient temperature, 0.01 degC
    PutLe16(line + 34, 2300);                          // atmosphere temperature
    PutLe16(line + 36, uint16_t(3100 + (n / 8) % 4));  // VTemp
    PutLe16(line + 38, 3050);                          // VTempFPA
    PutLe32(line + 44, 1200);                          // integration time
    line[50] = 1;                                      // gain
    if (o.window.on) {
        line[56] = 1;
        PutLe16(line + 58, o.window.width);
        PutLe16(line + 60, o.window.height);
        PutLe16(line + 62, o.window.x);
        PutLe16(line + 64, o.window.y);
    }
}

}  // namespace

FrameStreamer::FrameStreamer(int socket, OptionsSource options)
    : socket_(socket), options_(std::move(options)) {}

FrameStreamer::~FrameStreamer() {
    Stop();
}

void FrameStreamer::Start(const sockaddr_in& destination) {
    Stop();
    running_ = true;
    thread_ = std::thread(&FrameStreamer::Run, this, destination);
}

void FrameStreamer::Stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
}

uint32_t FrameStreamer::ComposeFrame(const Options& o, uint32_t n) {
    if (!scene_ || scene_->Width() != o.width || scene_->Height() != o.height) {
        scene_ = std::make_unique<ThermalScene>(o.width, o.height, SceneSettingsFrom(o));
        pixels_.assign(size_t{o.width} * o.height, 0);
    }
    scene_->Configure(SceneSettingsFrom(o));
    const uint32_t bpp = o.pixel8 ? 1 : 2;
    const uint32_t imageBytes = uint32_t{o.width} * o.height * bpp;
    const uint32_t packets = imageBytes / kPacketData + 1;
    frame_.assign(size_t{packets} * kPacketData, 0);
    if (o.uniformLevel > 0) {
        scene_->RenderUniform(static_cast<float>(o.uniformLevel), pixels_);
    } else {
        scene_->Render(n, pixels_);
    }

    // A windowed frame packs the window's rows at the start of the image; the frame keeps
    // its full packet count.
    const bool win = o.window.on;
    const uint32_t x0 = win ? std::min<uint32_t>(o.window.x, o.width - 1) : 0;
    const uint32_t y0 = win ? std::min<uint32_t>(o.window.y, o.height - 1) : 0;
    const uint32_t w = win ? std::min<uint32_t>(o.window.width, o.width - x0) : o.width;
    const uint32_t h = win ? std::min<uint32_t>(o.window.height, o.height - y0) : o.height;
    const size_t imageRoom = size_t{packets - 1} * kPacketData;
    size_t out = 0;
    for (uint32_t y = y0; y < y0 + h; ++y) {
        for (uint32_t x = x0; x < x0 + w && out + bpp <= imageRoom; ++x) {
            const uint16_t v = pixels_[size_t{y} * o.width + x];
            if (bpp == 1) {
                frame_[out] = static_cast<uint8_t>(v >> 6);
            } else {
                PutLe16(&frame_[out], v);
            }
            out += bpp;
        }
    }
    WriteParameterLine(&frame_[imageRoom], o, n);
    return packets;
}

void FrameStreamer::PlanPackets(const Options& o, uint32_t packets, bool faulty) {
    std::uniform_real_distribution<float> percent(0.0f, 100.0f);
    const auto hit = [&](float p) { return p > 0.0f && percent(random_) < p; };
    const auto anyPacket = [&] { return uint32_t(random_() % packets); };
    const uint32_t lost = hit(o.lossPercent) ? anyPacket() : packets;
    const uint32_t doubled = hit(o.duplicatePercent) ? anyPacket() : packets;
    order_.clear();
    lostPacket_ = false;
    for (uint32_t k = 0; k < packets; ++k) {
        if ((faulty && int32_t(k) == o.dropPacket) || k == lost) {
            lostPacket_ = true;
            continue;
        }
        order_.push_back(k);
        if ((faulty && int32_t(k) == o.repeatPacket) || k == doubled) order_.push_back(k);
    }
    if (faulty && o.reorderPacket >= 0) {
        auto it = std::find(order_.begin(), order_.end(), uint32_t(o.reorderPacket));
        if (it != order_.end() && it + 1 != order_.end()) std::iter_swap(it, it + 1);
    }
    if (hit(o.reorderPercent) && order_.size() > 1) {
        const size_t at = random_() % (order_.size() - 1);
        std::swap(order_[at], order_[at + 1]);
    }
}

bool FrameStreamer::SendFrame(const Options& o, const sockaddr_in& to, uint16_t blockId,
                              uint32_t packets, bool faulty, uint32_t n) {
    PlanPackets(o, packets, faulty);
    const auto gap =
        std::chrono::nanoseconds(o.lineRateMbps ? uint64_t{kWireBits} * 1000 / o.lineRateMbps : 0);
    auto next = Clock::now();
    uint8_t packet[kPacketSize];
    const uint16_t format = o.pixel8 ? 0x0108 : 0x0110;
    for (uint32_t k : order_) {
        PutBe16(packet + 0, 0);  // status
        PutBe16(packet + 2, blockId);
        packet[4] = (k + 1 == packets) ? 2 : 3;  // trailer / payload
        packet[5] = uint8_t(k >> 16);
        PutBe16(packet + 6, uint16_t(k));
        PutBe16(packet + 8, format);
        std::memcpy(packet + kPacketHeader, &frame_[size_t{k} * kPacketData], kPacketData);
        if (o.stampPackets && k + 1 != packets) PutLe32(packet + kPacketHeader, n);
        // Line-rate pacing is a busy wait: sleeping has a far coarser grain than 10 us.
        while (Clock::now() < next) {
        }
        if (sendto(socket_, packet, sizeof packet, 0, reinterpret_cast<const sockaddr*>(&to),
                   sizeof to) < 0) {
            lostPacket_ = true;  // the link is down: the frame did not leave whole
        }
        ++packetsSent_;
        next += gap;
    }
    return !lostPacket_;
}

void FrameStreamer::Run(sockaddr_in destination) {
    uint16_t blockId = 0;
    uint32_t n = 0;
    random_.seed(options_().seed);
    const uint32_t sentBefore = framesSent_;
    auto frameStart = Clock::now();
    while (running_) {
        const Options o = options_();
        if (o.pauseStream) {
            std::this_thread::sleep_for(
                std::chrono::nanoseconds(static_cast<int64_t>(1e9 / o.rate)));
            frameStart = Clock::now();
            continue;
        }
        if (o.frameLimit != 0 && framesSent_ - sentBefore >= o.frameLimit) break;
        ++n;
        const bool faulty = n % o.faultEvery == 0;
        if (!(faulty && o.repeatBlockId && blockId != 0)) {
            blockId = static_cast<uint16_t>(blockId + 1);
            if (blockId == 0) blockId = 1;  // 0 is not a valid block id
        }
        const uint32_t packets = ComposeFrame(o, n);
        if (SendFrame(o, destination, blockId, packets, faulty, n)) ++wholeFramesSent_;
        ++framesSent_;
        frameStart += std::chrono::nanoseconds(static_cast<int64_t>(1e9 / o.rate));
        const auto now = Clock::now();
        if (frameStart < now) {
            frameStart = now;  // behind: no burst of catch-up frames
        } else {
            std::this_thread::sleep_until(frameStart);
        }
    }
    running_ = false;
}

}  // namespace camsim
