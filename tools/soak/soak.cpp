// zelir-soak: pulls frames from an emulated camera for a while through the public interface,
// with the emulator injecting faults, and judges the outcome. Runs inside the host namespace
// (scripts/soak.sh starts everything). While it runs it records movies, changes a setting under
// late and doubled replies, has the camera restart and takes the link down and up.
//
// Every packet of a frame carries the frame's number in its first four bytes (the emulator's
// --stamp-packets), so a delivered frame made of packets of two frames shows.
#include <zelir/zelir.h>

#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/camsim_admin.h"

namespace {

using Clock = std::chrono::steady_clock;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif
using namespace std::chrono_literals;

struct Options {
    double seconds = 60;
    std::string camera = "x://198.18.0.2";
    std::string admin = "198.18.0.2";
    std::string interface = "zh0";
    std::string out = "/tmp";
};

double ResidentMiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

uint64_t InterfaceCounter(const std::string& interface, const char* name) {
    uint64_t value = 0;
    const std::string path = "/sys/class/net/" + interface + "/statistics/" + name;
    if (FILE* f = std::fopen(path.c_str(), "r")) {
        if (std::fscanf(f, "%" SCNu64, &value) != 1) value = 0;
        std::fclose(f);
    }
    return value;
}

uint64_t AdminValue(zelir::test::CamsimAdmin& admin, const std::string& key) {
    const std::string stats = admin.Send("stats");
    const size_t at = stats.find(key + "=");
    return at == std::string::npos ? 0 : std::stoull(stats.substr(at + key.size() + 1));
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

class Soak {
  public:
    explicit Soak(const Options& o) : o_(o), admin_(o.admin.c_str()) {}

    int Run() {
        if (!Open()) return Fail("cannot open " + o_.camera);
        const auto start = Clock::now();
        const auto end = start + std::chrono::duration<double>(o_.seconds);
        const auto warm = start + std::chrono::duration<double>(o_.seconds * 0.25);
        rxDroppedBefore_ = InterfaceCounter(o_.interface, "rx_dropped");
        wholeBefore_ = AdminValue(admin_, "whole");
        auto nextSetting = start + 1s, nextRecording = start + 3s, nextRss = start;
        bool restarted = false, flapped = false;
        int phase = 0;
        while (Clock::now() < end) {
            const auto now = Clock::now();
            const double done = std::chrono::duration<double>(now - start).count() / o_.seconds;
            PullFrame();
            if (now >= nextSetting) {
                ChangeSetting(phase++);
                nextSetting = now + 2s;
            }
            if (now >= nextRecording) {
                Record();
                nextRecording = now + 10s;
            }
            if (now >= nextRss) {
                const double rss = ResidentMiB();
                if (now >= warm) {
                    rssMin_ = std::min(rssMin_, rss);
                    rssMax_ = std::max(rssMax_, rss);
                }
                nextRss = now + 1s;
            }
            if (!restarted && done >= 0.4) {
                restarted = true;
                restartRecovery_ = Disturb([&] { admin_.Send("restart"); });
            }
            if (!flapped && done >= 0.7) {
                flapped = true;
                flapRecovery_ = Disturb([&] {
                    std::system(("ip link set " + o_.interface + " down").c_str());
                    std::this_thread::sleep_for(2s);
                    std::system(("ip link set " + o_.interface + " up").c_str());
                });
            }
            std::this_thread::sleep_for(2ms);
        }
        return Report();
    }

  private:
    bool Open() {
        for (int attempt = 0; attempt < 10 && handle_ == nullptr; ++attempt) {
            handle_ = ZelIr_OpenDevice(Wide(o_.camera).c_str(), nullptr);
            if (handle_ == nullptr) std::this_thread::sleep_for(500ms);
        }
        if (handle_ == nullptr) return false;
        // Whole frames in any order, and a camera that goes quiet reported and started again.
        if (ZelIr_SetStreamOptions(handle_, ZELIR_STREAM_ANY_ORDER | ZELIR_STREAM_REPORT_LOST) !=
            1) {
            return false;
        }
        ZelIr_GetDigitArrayPara(handle_, &width_, &height_);
        digits_.assign(size_t{width_} * height_, 0);
        return true;
    }

    // Fetches as received; a frame is new when its stamp changed.
    bool PullFrame() {
        if (ZelIr_GetNewArray(handle_) != 1) return false;  // lost or none yet
        ZelIr_GetNewArrayDirect(handle_);
        uint32_t kind = 0;
        ZelIr_GetDigitArray(handle_, digits_.data(), &kind);
        const uint32_t stamp = Stamp(0);
        if (stamp == lastStamp_) return false;
        lastStamp_ = stamp;
        ++delivered_;
        const size_t packets = digits_.size() * 2 / 1280;
        for (size_t k = 1; k < packets; ++k) {
            if (Stamp(k) != stamp) {
                ++mixed_;
                break;
            }
        }
        return true;
    }
    uint32_t Stamp(size_t packet) const {
        const size_t at = packet * 640;
        return uint32_t{digits_[at]} | uint32_t{digits_[at + 1]} << 16;
    }

    // The gain goes back and forth while the replies come late or twice, by turns; every fifth
    // time they come later than the exchange waits, which must fail cleanly and leave the next
    // exchange unharmed.
    void ChangeSetting(int phase) {
        static const char* const faults[] = {"", "set --answer-twice", "set --late-ms 60",
                                             "set --late-ms 60 --answer-twice",
                                             "set --late-ms 260"};
        const bool beyondBudget = phase % 5 == 4;
        if (*faults[phase % 5] != '\0') admin_.Send(faults[phase % 5]);
        // As an application does: a setting that was not confirmed is sent again.
        int calls = 0;
        bool answered = false;
        while (!answered && calls < 3) {
            answered = ZelIr_SetGain(handle_, static_cast<uint32_t>(phase % 2)) == 1;
            ++calls;
        }
        if (answered && calls > 1) ++settingsRetried_;
        admin_.Send("set --late-ms 0 --no-answer-twice");
        if (beyondBudget) {
            ++settingsTooLate_;
        } else {
            ++settings_;
            if (answered) ++settingsAnswered_;
            if (!answered) unanswered_ += std::string(" '") + faults[phase % 5] + "'";
        }
    }

    void Record() {
        const std::string path = o_.out + "/soak-" + std::to_string(getpid()) + ".irm";
        if (ZelIr_StartRecordMovie(handle_, Wide(path).c_str()) != 0) return;
        const auto until = Clock::now() + 1s;
        const uint64_t before = delivered_;
        while (Clock::now() < until) {
            PullFrame();
            std::this_thread::sleep_for(2ms);
        }
        ZelIr_StopRecordMovie(handle_);
        if (delivered_ == before) {  // the stream was away: nothing to play back
            std::filesystem::remove(path);
            return;
        }
        ++recordings_;
        if (ZelIrHandle movie = ZelIr_MovieFileOpen(Wide(path).c_str())) {
            if (ZelIr_MovieGetTotalFrm(movie) > 0) ++recordingsPlayable_;
            ZelIr_Close(movie);
        }
        std::filesystem::remove(path);
    }

    // Seconds from the end of `disturb` until frames come again, once the library has seen
    // the stream go; reopens when they do not come within 10 s.
    template <typename Disturbance>
    double Disturb(Disturbance disturb) {
        disturb();
        const auto start = Clock::now();
        while (ZelIr_GetNewArray(handle_) == 1 && Clock::now() - start < 3s) {
            std::this_thread::sleep_for(2ms);
        }
        while (Clock::now() - start < 10s) {
            if (PullFrame()) return std::chrono::duration<double>(Clock::now() - start).count();
            std::this_thread::sleep_for(2ms);
        }
        ++reopens_;
        ZelIr_Close(handle_);
        handle_ = nullptr;
        if (!Open()) return -1;
        while (Clock::now() - start < 20s) {
            if (PullFrame()) return std::chrono::duration<double>(Clock::now() - start).count();
            std::this_thread::sleep_for(2ms);
        }
        return -1;
    }

    int Report() {
        ZelIrStreamStats s{};
        ZelIr_GetStreamStats(handle_, &s);
        const uint64_t whole = AdminValue(admin_, "whole") - wholeBefore_;
        const uint64_t rxDropped = InterfaceCounter(o_.interface, "rx_dropped") - rxDroppedBefore_;
        ZelIr_Close(handle_);
        const double growth = rssMax_ - rssMin_;
        std::printf("soak %.0f s: camera sent %" PRIu64 " whole frames; library completed %" PRIu64
                    " (%.1f %%), dropped %" PRIu64 " incomplete, %" PRIu64
                    " packets out of order, %" PRIu64 " repeated; interface dropped %" PRIu64
                    " packets\n",
                    o_.seconds, whole, uint64_t{s.framesCompleted},
                    whole ? 100.0 * double(s.framesCompleted) / double(whole) : 0.0,
                    uint64_t{s.framesDroppedIncomplete}, uint64_t{s.packetsOutOfOrder},
                    uint64_t{s.packetsRepeated}, rxDropped);
        std::printf("delivered %" PRIu64 " distinct frames, %" PRIu64
                    " made of packets of two frames\n",
                    delivered_, mixed_);
        std::printf(
            "settings changed %d times with prompt, late (60 ms) or doubled replies, "
            "answered %d (%d when sent again); %d more with replies later than the exchange "
            "waits\n",
            settings_, settingsAnswered_, settingsRetried_, settingsTooLate_);
        if (!unanswered_.empty()) std::printf("unanswered under:%s\n", unanswered_.c_str());
        std::printf("recordings %d, playable %d\n", recordings_, recordingsPlayable_);
        std::printf(
            "stream back %.2f s after the camera restart, %.2f s after the link flap "
            "(2 s down); reopens %d\n",
            restartRecovery_, flapRecovery_, reopens_);
        std::printf("resident memory after warm-up %.1f..%.1f MiB (growth %.2f MiB)\n", rssMin_,
                    rssMax_, growth);
        // An AddressSanitizer build keeps freed memory in quarantine: memory is judged in the
        // plain build, leaks by LeakSanitizer at exit.
        bool ok = mixed_ == 0 && (kSanitized || growth <= 2.0) && restartRecovery_ >= 0 &&
                  flapRecovery_ >= 0 && settingsAnswered_ == settings_ &&
                  recordingsPlayable_ == recordings_ && delivered_ > 0;
        std::printf("%s\n", ok ? "soak passed" : "SOAK FAILED");
        return ok ? 0 : 1;
    }

    int Fail(const std::string& message) {
        std::fprintf(stderr, "zelir-soak: %s\n", message.c_str());
        return 1;
    }

    Options o_;
    zelir::test::CamsimAdmin admin_;
    ZelIrHandle handle_ = nullptr;
    uint32_t width_ = 0, height_ = 0;
    std::vector<uint16_t> digits_;
    uint32_t lastStamp_ = 0;
    uint64_t delivered_ = 0, mixed_ = 0, rxDroppedBefore_ = 0, wholeBefore_ = 0;
    int settings_ = 0, settingsAnswered_ = 0, settingsRetried_ = 0, settingsTooLate_ = 0;
    int recordings_ = 0, recordingsPlayable_ = 0;
    std::string unanswered_;
    int reopens_ = 0;
    double restartRecovery_ = -1, flapRecovery_ = -1;
    double rssMin_ = 1e12, rssMax_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--seconds") {
            o.seconds = std::atof(value.c_str());
        } else if (name == "--camera") {
            o.camera = value;
        } else if (name == "--admin") {
            o.admin = value;
        } else if (name == "--interface") {
            o.interface = value;
        } else if (name == "--out") {
            o.out = value;
        } else {
            std::fprintf(stderr,
                         "usage: zelir-soak [--seconds S] [--camera PATH] [--admin ADDRESS] "
                         "[--interface NAME] [--out DIR]\n");
            return 2;
        }
    }
    ZelIr_Init();
    return Soak(o).Run();
}
