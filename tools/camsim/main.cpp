// zelir-camsim: a GigE thermal camera emulator on ordinary UDP sockets.
#include <arpa/inet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "camsim_options.h"
#include "frame_streamer.h"
#include "gvcp_server.h"
#include "scene_queries.h"

namespace {

using namespace camsim;

constexpr uint16_t kControlPort = 3956;
constexpr uint16_t kStreamPort = 3958;

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) {
    g_stop = 1;
}

class Socket {
  public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

bool InterfaceDetails(const std::string& name, InterfaceInfo& info) {
    Socket s(socket(AF_INET, SOCK_DGRAM, 0));
    ifreq req{};
    if (name.size() >= sizeof req.ifr_name) return false;
    std::strncpy(req.ifr_name, name.c_str(), sizeof req.ifr_name - 1);
    if (ioctl(s.fd(), SIOCGIFHWADDR, &req) != 0) return false;
    std::memcpy(info.mac.data(), req.ifr_hwaddr.sa_data, 6);
    if (ioctl(s.fd(), SIOCGIFADDR, &req) != 0) return false;
    info.address = reinterpret_cast<sockaddr_in*>(&req.ifr_addr)->sin_addr.s_addr;
    if (ioctl(s.fd(), SIOCGIFNETMASK, &req) != 0) return false;
    info.netmask = reinterpret_cast<sockaddr_in*>(&req.ifr_netmask)->sin_addr.s_addr;
    return true;
}

// A UDP socket on the interface alone, so one emulator per interface can share the port.
int BoundSocket(const std::string& interface, uint16_t port) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return -1;
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    const int sendBuffer = 4 << 20;
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    if (setsockopt(fd, SOL_SOCKET, SO_BINDTODEVICE, interface.c_str(), interface.size()) != 0) {
        close(fd);
        return -1;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

class OptionsStore {
  public:
    explicit OptionsStore(const Options& o) : initial_(o), current_(o) {}
    Options Get() {
        std::lock_guard<std::mutex> guard(mutex_);
        return current_;
    }
    std::string Apply(const std::string& text) {
        std::vector<std::string> words = Words(text);
        if (words.empty()) return "error: empty command";
        std::lock_guard<std::mutex> guard(mutex_);
        if (words[0] == "reset") {
            current_ = initial_;
            return "ok";
        }
        if (words[0] != "set") return "error: unknown command " + words[0];
        Options next = current_;
        std::string error;
        words.erase(words.begin());
        if (!ParseOptions(words, next, error)) return "error: " + error;
        next.interface = current_.interface;  // fixed for the life of the sockets
        next.adminPort = current_.adminPort;
        current_ = next;
        return "ok";
    }

  private:
    std::mutex mutex_;
    const Options initial_;
    Options current_;
};

void HandleAdmin(int fd, OptionsStore& store, FrameStreamer& streamer, GvcpServer& server) {
    DeviceCommands& commands = server.Commands();
    char text[1024];
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    const ssize_t n =
        recvfrom(fd, text, sizeof text - 1, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (n <= 0) return;
    text[n] = '\0';
    std::vector<std::string> words = Words(text);
    std::string answer = AnswerSceneQuery(words, store.Get());
    if (!answer.empty()) {
        // a question about the scene
    } else if (!words.empty() && (words[0] == "state" || words[0] == "store")) {
        const bool query = words[0] == "state";
        words.erase(words.begin());
        answer = query ? commands.State(words, store.Get()) : commands.Store(words);
    } else if (words == std::vector<std::string>{"stats"}) {
        answer = "frames=" + std::to_string(streamer.FramesSent()) +
                 " packets=" + std::to_string(streamer.PacketsSent()) +
                 " whole=" + std::to_string(streamer.WholeFramesSent()) +
                 " streaming=" + (streamer.Streaming() ? "1" : "0") +
                 " control=" + std::to_string(server.PacketsTaken());
    } else if (words == std::vector<std::string>{"restart"}) {
        streamer.Stop();  // as after a power cycle: quiet until the host starts the stream
        answer = "ok";
    } else {
        answer = store.Apply(text);
        // A reset also forgets what the camera was sent.
        if (words == std::vector<std::string>{"reset"}) commands.Reset();
    }
    sendto(fd, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(UsageText(), stdout);
            return 0;
        }
    }
    Options options;
    std::string error;
    if (!ParseOptions(args, options, error)) {
        std::fprintf(stderr, "zelir-camsim: %s\n%s", error.c_str(), UsageText());
        return 2;
    }
    InterfaceInfo info;
    if (!InterfaceDetails(options.interface, info)) {
        std::fprintf(stderr, "zelir-camsim: no usable IPv4 interface %s\n",
                     options.interface.c_str());
        return 1;
    }
    Socket control(BoundSocket(options.interface, kControlPort));
    Socket stream(BoundSocket(options.interface, kStreamPort));
    Socket admin(options.adminPort ? BoundSocket(options.interface, options.adminPort) : -2);
    if (control.fd() < 0 || stream.fd() < 0 || admin.fd() == -1) {
        std::fprintf(stderr, "zelir-camsim: cannot bind the UDP ports on %s: %s\n",
                     options.interface.c_str(), std::strerror(errno));
        return 1;
    }
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);

    OptionsStore store(options);
    auto current = [&store] { return store.Get(); };
    FrameStreamer streamer(stream.fd(), current);
    GvcpServer server(control.fd(), info, current, streamer);

    char address[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &info.address, address, sizeof address);
    std::printf("zelir-camsim ready on %s (%s), %ux%u %s at %.1f/s\n", options.interface.c_str(),
                address, options.width, options.height, options.pixel8 ? "8-bit" : "16-bit",
                options.rate);
    std::fflush(stdout);
    if (options.autostart) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(3955);
        to.sin_addr.s_addr = (info.address & info.netmask) | htonl(1);  // the host end: .1
        streamer.Start(to);
    }

    std::vector<pollfd> fds{{control.fd(), POLLIN, 0}};
    if (admin.fd() >= 0) fds.push_back({admin.fd(), POLLIN, 0});
    uint8_t packet[2048];
    while (!g_stop) {
        if (poll(fds.data(), fds.size(), 200) <= 0) continue;
        // Every control packet waiting is handled before an admin query, so that a state query
        // sent after a burst of unacknowledged commands sees all of them.
        while (fds[0].revents & POLLIN) {
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t n = recvfrom(control.fd(), packet, sizeof packet, MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (n <= 0) break;
            server.HandlePacket({packet, static_cast<size_t>(n)}, from);
        }
        if (fds.size() > 1 && (fds[1].revents & POLLIN))
            HandleAdmin(admin.fd(), store, streamer, server);
    }
    streamer.Stop();
    return 0;
}
