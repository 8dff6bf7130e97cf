// The emulators as the namespace tests see them from outside: their admin port and the
// hardware addresses of the interfaces (no library internals).
#pragma once

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace zelir::test {

inline std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
    return out;
}

inline std::array<uint8_t, 6> ParseMac(const std::string& text) {
    std::array<uint8_t, 6> mac{};
    unsigned b[6] = {};
    if (std::sscanf(text.c_str(), "%x:%x:%x:%x:%x:%x", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5]) ==
        6) {
        for (int i = 0; i < 6; ++i) mac[i] = static_cast<uint8_t>(b[i]);
    }
    return mac;
}

// The camera side lives in the other namespace.
inline std::array<uint8_t, 6> CameraMac(const std::string& interface) {
    return ParseMac(
        RunCommand("ip netns exec zelir-c cat /sys/class/net/" + interface + "/address"));
}

// Text commands to an emulator's admin port ("set ...", "reset", "stats").
class CamsimAdmin {
  public:
    explicit CamsimAdmin(const char* address = "198.18.0.2", uint16_t port = 3999)
        : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
        to_.sin_family = AF_INET;
        to_.sin_port = htons(port);
        to_.sin_addr.s_addr = inet_addr(address);
        timeval timeout{1, 0};
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    }
    ~CamsimAdmin() { close(fd_); }
    CamsimAdmin(const CamsimAdmin&) = delete;
    CamsimAdmin& operator=(const CamsimAdmin&) = delete;

    std::string Send(const std::string& text) {
        sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&to_), sizeof to_);
        char reply[4096];  // state answers carry hex dumps and point lists
        const ssize_t n = recv(fd_, reply, sizeof reply, 0);
        return n > 0 ? std::string(reply, static_cast<size_t>(n)) : std::string("no answer");
    }

  private:
    int fd_;
    sockaddr_in to_{};
};

}  // namespace zelir::test
