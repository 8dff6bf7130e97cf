#include "gige/socket_transport.h"

#include <linux/sock_diag.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "gige/wire_format.h"

namespace zelir::gige {

SocketTransport::SocketTransport() : batch_(std::make_unique<Batch>()) {}

TransportStatus SocketTransport::Open(const AdapterRecord& adapter, const CameraEndpoint* camera,
                                      std::string& error) {
    wake_ = Descriptor(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake_.Valid()) {
        error = std::string("eventfd: ") + std::strerror(errno);
        return TransportStatus::kFailed;
    }
    if (camera == nullptr) return control_.OpenDiscovery(adapter.address, error);

    TransportStatus status = control_.OpenConnected(adapter.address, camera->address, true, error);
    if (status != TransportStatus::kOk) return status;
    status = OpenUdpSocket(stream_, adapter.address, control_.Port(), true, error);
    if (status == TransportStatus::kOk) {
        status = ConnectSocket(stream_, camera->address, kStreamPort, error);
    }
    if (status != TransportStatus::kOk) {
        control_.Close();
        stream_.Reset();
        return status;
    }
    RequestReceiveBuffer(stream_, kStreamBufferBytes, "stream");
    ResetHeaders();
    return TransportStatus::kOk;
}

TransportStatus SocketTransport::Send(std::span<const uint8_t> payload, const MacAddress&,
                                      uint32_t address) {
    return control_.Send(payload, address);
}

void SocketTransport::ResetHeaders() {
    Batch& b = *batch_;
    for (unsigned i = 0; i < kBatch; ++i) {
        b.vectors[i] = {b.packets[i].data(), b.packets[i].size()};
        msghdr& h = b.headers[i].msg_hdr;
        h = msghdr{};
        h.msg_iov = &b.vectors[i];
        h.msg_iovlen = 1;
    }
}

ReceiveStatus SocketTransport::Receive(ReceiveSink& sink) {
    pollfd watched[2] = {{wake_.Get(), POLLIN, 0}, {stream_.Get(), POLLIN, 0}};
    const nfds_t count = stream_.Valid() ? 2 : 1;
    if (poll(watched, count, -1) < 0) {
        return errno == EINTR ? ReceiveStatus::kIdle : ReceiveStatus::kError;
    }
    if (watched[0].revents != 0) return ReceiveStatus::kInterrupted;
    if (count < 2 || watched[1].revents == 0) return ReceiveStatus::kIdle;

    Batch& b = *batch_;
    const int n = recvmmsg(stream_.Get(), b.headers.data(), kBatch, MSG_DONTWAIT, nullptr);
    if (n < 0) {
        return errno == EAGAIN || errno == EINTR ? ReceiveStatus::kIdle : ReceiveStatus::kError;
    }
    for (int i = 0; i < n; ++i) sink.StreamPayload({b.packets[i].data(), b.headers[i].msg_len});
    received_.fetch_add(static_cast<uint32_t>(n), std::memory_order_relaxed);
    if (static_cast<unsigned>(n) < kBatch) {
        // The socket is empty: let packets gather for a moment (the receive buffer holds
        // several frames) so that one wake-up takes a batch rather than a packet or two.
        pollfd wake{wake_.Get(), POLLIN, 0};
        poll(&wake, 1, kGatherMs);
    }
    return ReceiveStatus::kPackets;
}

void SocketTransport::Interrupt() {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wake_.Get(), &one, sizeof one);
}

TransportStatus SocketTransport::Stats(uint32_t& received, uint32_t& dropped) {
    // The kernel counts what it dropped for want of buffer room.
    uint32_t memory[SK_MEMINFO_VARS] = {};
    socklen_t length = sizeof memory;
    if (!stream_.Valid() ||
        getsockopt(stream_.Get(), SOL_SOCKET, SO_MEMINFO, memory, &length) != 0) {
        return TransportStatus::kFailed;
    }
    dropped = memory[SK_MEMINFO_DROPS];
    received = received_.load(std::memory_order_relaxed) + dropped;
    return TransportStatus::kOk;
}

}  // namespace zelir::gige
