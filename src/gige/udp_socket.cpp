#include "gige/udp_socket.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "base/debug_output.h"
#include "gige/wire_format.h"

namespace zelir::gige {
namespace {

sockaddr_in Ipv4(uint32_t address, uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = address;
    return a;
}

std::string SystemError(const char* call) {
    return std::string(call) + ": " + std::strerror(errno);
}

TransportStatus StatusOfErrno() {
    return errno == EPERM || errno == EACCES ? TransportStatus::kNotPermitted
                                             : TransportStatus::kFailed;
}

// Replies to a full queue of 512 commands fit (about 800 bytes of kernel memory each).
constexpr int kControlBufferBytes = 1 << 20;

}  // namespace

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = other.Release();
    }
    return *this;
}

int Descriptor::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void Descriptor::Reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

WaitResult WaitReadable(int fd, std::chrono::steady_clock::time_point deadline) {
    pollfd watched{fd, POLLIN, 0};
    while (true) {
        const auto left = deadline - std::chrono::steady_clock::now();
        const auto ns = std::max<int64_t>(
            0, std::chrono::duration_cast<std::chrono::nanoseconds>(left).count());
        const timespec timeout{static_cast<time_t>(ns / 1'000'000'000),
                               static_cast<long>(ns % 1'000'000'000)};
        const int ready = ppoll(&watched, 1, &timeout, nullptr);
        if (ready > 0) return WaitResult::kReadable;
        if (ready == 0) return WaitResult::kTimedOut;
        if (errno != EINTR) return WaitResult::kFailed;
    }
}

TransportStatus OpenUdpSocket(Descriptor& socket, uint32_t localAddress, uint16_t localPort,
                              bool shared, std::string& error) {
    Descriptor fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.Valid()) {
        error = SystemError("socket");
        return StatusOfErrno();
    }
    const int on = 1;
    if (shared && setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEPORT, &on, sizeof on) != 0) {
        error = SystemError("SO_REUSEPORT");
        return TransportStatus::kFailed;
    }
    const sockaddr_in local = Ipv4(localAddress, localPort);
    if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &localAddress, text, sizeof text);
        error = SystemError("bind") + " (" + text + ":" + std::to_string(localPort) + ")";
        return StatusOfErrno();
    }
    socket = std::move(fd);
    return TransportStatus::kOk;
}

TransportStatus ConnectSocket(const Descriptor& socket, uint32_t address, uint16_t port,
                              std::string& error) {
    const sockaddr_in peer = Ipv4(address, port);
    if (connect(socket.Get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        error = SystemError("connect");
        return StatusOfErrno();
    }
    return TransportStatus::kOk;
}

uint16_t LocalPort(const Descriptor& socket) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (getsockname(socket.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

void RequestReceiveBuffer(const Descriptor& socket, int bytes, const char* purpose) {
    // SO_RCVBUFFORCE passes net.core.rmem_max with CAP_NET_ADMIN; without it the kernel caps
    // SO_RCVBUF silently, so the grant is read back.
    if (setsockopt(socket.Get(), SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0) {
        setsockopt(socket.Get(), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    }
    int granted = 0;
    socklen_t length = sizeof granted;
    getsockopt(socket.Get(), SOL_SOCKET, SO_RCVBUF, &granted, &length);
    // The kernel reports twice what it grants for payload (the rest is bookkeeping).
    if (granted / 2 < bytes) {
        odprintf(
            "The %s socket's receive buffer is %d bytes, not the %d asked for: the kernel caps "
            "it at net.core.rmem_max (as root: sysctl -w net.core.rmem_max=%d), and packets "
            "may be lost at high rates\n",
            purpose, granted / 2, bytes, bytes);
    }
}

TransportStatus ControlSocket::OpenDiscovery(uint32_t localAddress, std::string& error) {
    const TransportStatus status = OpenUdpSocket(socket_, localAddress, 0, false, error);
    if (status != TransportStatus::kOk) return status;
    const int on = 1;
    if (setsockopt(socket_.Get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        error = SystemError("SO_BROADCAST");
        socket_.Reset();
        return TransportStatus::kFailed;
    }
    localAddress_ = localAddress;
    port_ = LocalPort(socket_);
    peer_ = 0;
    return TransportStatus::kOk;
}

TransportStatus ControlSocket::OpenConnected(uint32_t localAddress, uint32_t camera, bool shared,
                                             std::string& error) {
    TransportStatus status = OpenUdpSocket(socket_, localAddress, 0, shared, error);
    if (status == TransportStatus::kOk)
        status = ConnectSocket(socket_, camera, kControlPort, error);
    if (status != TransportStatus::kOk) {
        socket_.Reset();
        return status;
    }
    setsockopt(socket_.Get(), SOL_SOCKET, SO_RCVBUF, &kControlBufferBytes,
               sizeof kControlBufferBytes);
    localAddress_ = localAddress;
    port_ = LocalPort(socket_);
    peer_ = camera;
    return TransportStatus::kOk;
}

TransportStatus ControlSocket::Send(std::span<const uint8_t> payload, uint32_t address) {
    if (!socket_.Valid()) return TransportStatus::kFailed;
    if (peer_ != 0 && address != peer_) {
        // The camera was given a new address: its replies come from there now.
        std::string error;
        if (ConnectSocket(socket_, address, kControlPort, error) != TransportStatus::kOk) {
            odprintf("%s\n", error.c_str());
            return TransportStatus::kFailed;
        }
        peer_ = address;
    }
    const sockaddr_in to = Ipv4(address, kControlPort);
    const ssize_t sent = peer_ != 0 ? send(socket_.Get(), payload.data(), payload.size(), 0)
                                    : sendto(socket_.Get(), payload.data(), payload.size(), 0,
                                             reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent != static_cast<ssize_t>(payload.size())) {
        odprintf("send packet failure: %s\n", std::strerror(errno));
        return TransportStatus::kFailed;
    }
    return TransportStatus::kOk;
}

void ControlSocket::Drain(ReceiveSink& sink) {
    while (socket_.Valid()) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t n = recvfrom(socket_.Get(), buffer_.data(), buffer_.size(), MSG_DONTWAIT,
                                   reinterpret_cast<sockaddr*>(&from), &length);
        if (n < 0) {
            // An error the kernel queued for an unreachable camera is taken and passed over.
            if (errno == ECONNREFUSED || errno == EHOSTUNREACH || errno == EINTR) continue;
            return;
        }
        sink.Reply({std::span<const uint8_t>(buffer_.data(), static_cast<size_t>(n)),
                    from.sin_addr.s_addr,
                    ntohs(from.sin_port),
                    localAddress_,
                    port_,
                    {}});
    }
}

}  // namespace zelir::gige
