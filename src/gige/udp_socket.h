// Kernel UDP sockets for reaching a camera without packet capture: an owned descriptor, and the
// control socket that carries GVCP commands and their replies.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <span>
#include <string>

#include "gige/packet_transport.h"

namespace zelir::gige {

class Descriptor {
  public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(Descriptor&& other) noexcept : fd_(other.Release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();
    void Reset();

  private:
    int fd_ = -1;
};

enum class WaitResult { kReadable, kTimedOut, kFailed };
// Blocks until fd is readable or the deadline passes.
WaitResult WaitReadable(int fd, std::chrono::steady_clock::time_point deadline);

// A UDP socket bound to localAddress:localPort (0: any free port). `shared` lets a second socket
// bind the same port (each connected to its own peer, the kernel hands every packet to the
// socket connected to its source).
TransportStatus OpenUdpSocket(Descriptor& socket, uint32_t localAddress, uint16_t localPort,
                              bool shared, std::string& error);
TransportStatus ConnectSocket(const Descriptor& socket, uint32_t address, uint16_t port,
                              std::string& error);
uint16_t LocalPort(const Descriptor& socket);
// Asks for `bytes` of receive buffer (beyond net.core.rmem_max where the process may) and
// reports a smaller grant through the debug output.
void RequestReceiveBuffer(const Descriptor& socket, int bytes, const char* purpose);

// GVCP commands out, replies in. Discovery: bound to the adapter's address, broadcasts
// allowed. A camera: connected to its control port, so only its replies arrive.
class ControlSocket {
  public:
    TransportStatus OpenDiscovery(uint32_t localAddress, std::string& error);
    TransportStatus OpenConnected(uint32_t localAddress, uint32_t camera, bool shared,
                                  std::string& error);
    void Close() { socket_.Reset(); }
    bool Open() const { return socket_.Valid(); }
    TransportStatus Send(std::span<const uint8_t> payload, uint32_t address);
    int Get() const { return socket_.Get(); }
    uint16_t Port() const { return port_; }
    // Hands every reply waiting to the sink without blocking.
    void Drain(ReceiveSink& sink);

  private:
    Descriptor socket_;
    uint32_t localAddress_ = 0;
    uint16_t port_ = 0;
    uint32_t peer_ = 0;  // connected camera, 0 for discovery
    std::array<uint8_t, 2048> buffer_{};
};

}  // namespace zelir::gige
