#include "gige/net_interface.h"

#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "base/debug_output.h"
#include "base/timer.h"
#include "gige/adapter_table.h"
#include "gige/transport_choice.h"
#include "gige/udp_socket.h"

namespace zelir::gige {
namespace {

constexpr auto kThreadSettle = std::chrono::milliseconds(40);

// Filters by the camera's ports: control replies, and stream packets once a camera is chosen.
std::string DiscoveryFilter() {
    return "(ip and udp) and (src port " + std::to_string(kControlPort) + ")";
}
std::string CameraFilter() {
    return "(ip and udp) and (src port " + std::to_string(kControlPort) + " or src port " +
           std::to_string(kStreamPort) + ")";
}

void RaiseThreadPriority() {
    // One step above normal; without the privilege the thread keeps its priority.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, tid, getpriority(PRIO_PROCESS, tid) - 1);
}

// Where replies go that nobody waits for any more.
class DiscardingSink final : public ReceiveSink {
    void CapturedFrame(std::span<const uint8_t>) override {}
    void StreamPayload(std::span<const uint8_t>) override {}
    void Reply(const ControlReply&) override {}
};

}  // namespace

NetInterface::NetInterface(uint32_t adapterIndex, uint32_t width, uint32_t height)
    : adapterIndex_(adapterIndex), frames_(width, height) {
    messages_.Init(kQueueSlots, sizeof(Message));
    std::snprintf(filterText_.data(), filterText_.size(), "%s", CameraFilter().c_str());
}

NetInterface::~NetInterface() {
    Stop();
}

int NetInterface::OpenAdapter(uint32_t adapterIndex, const CameraEndpoint* camera) {
    Stop();
    const std::optional<AdapterRecord> adapter = GetAdapter(adapterIndex);
    if (!adapter) {
        odprintf("Unable to open the adapter: no adapter %u\n", adapterIndex);
        return kFailure;
    }
    transport_ = OpenTransport(*adapter, camera);
    if (!transport_) return kFailure;
    ownAddress_ = adapter->address;
    std::copy(std::begin(adapter->mac), std::end(adapter->mac), ownMac_.begin());

    if (camera == nullptr) {
        std::snprintf(filterText_.data(), filterText_.size(), "%s", DiscoveryFilter().c_str());
        transport_->SetFilter(filterText_.data());
    } else {
        SetSourceFilter(camera->mac, 1);
    }
    odtprintf(L"adapter%d opened\n", static_cast<int>(adapterIndex));
    openAdapter_ = static_cast<int32_t>(adapterIndex);

    stopRequest_ = 0;
    receiving_ = true;
    started_ = false;
    thread_ = std::thread(&NetInterface::ReceiveLoop, this);
    std::this_thread::sleep_for(kThreadSettle);
    // The thread settles for as long as the open waits: wait for it to be reading, so the
    // channel is fully up (and its start reported) when the open returns.
    started_.wait(false);
    opened_ = 1;
    return kSuccess;
}

std::optional<TransportKind> NetInterface::Transport() const {
    if (!transport_) return std::nullopt;
    return transport_->Kind();
}

int NetInterface::SetSourceFilter(const MacAddress& mac, int apply) {
    std::snprintf(filterText_.data(), filterText_.size(),
                  "%s and (ether src %02x:%02x:%02x:%02x:%02x:%02x)", CameraFilter().c_str(),
                  mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    if (apply == 0 || !transport_) return kFailure;
    return transport_->SetFilter(filterText_.data()) == TransportStatus::kOk ? kSuccess : kFailure;
}

void NetInterface::Stop() {
    if (thread_.joinable()) {
        // The thread is never killed: the transport ends its wait at once.
        stopRequest_ = 1;
        if (transport_) transport_->Interrupt();
        thread_.join();
    }
    transport_.reset();
    openAdapter_ = -1;
}

int NetInterface::SendUdp(std::span<const uint8_t> payload, const MacAddress& destinationMac,
                          uint32_t destinationAddress) {
    if (!transport_) return kFailure;
    return transport_->Send(payload, destinationMac, destinationAddress) == TransportStatus::kOk
               ? kSuccess
               : kFailure;
}

void NetInterface::ReceiveLoop() {
    frames_.Restart();
    RaiseThreadPriority();
    std::this_thread::sleep_for(kThreadSettle);
    odtprintf(L"receive thread started\n");
    started_ = true;
    started_.notify_all();
    PacketTransport* const transport = transport_.get();
    while (transport != nullptr && stopRequest_.load(std::memory_order_relaxed) == 0) {
        if (transport->Receive(*this) == ReceiveStatus::kError) {
            // A failing transport would spin: wait for the stop request at a gentle pace.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    odtprintf(L"!!!!!receive thread End \n");
    receiving_ = false;
}

void NetInterface::HandleCapturedPacket(std::span<const uint8_t> frame) {
    if (frame.size() < kFrameHeaderSize) {
        odtprintf(L"invalid gev packet\n");
        return;
    }
    const auto& h = *reinterpret_cast<const UdpFrameHeader*>(frame.data());
    const uint16_t sourcePort = GetBe16(h.sourcePort);
    const auto payload = frame.subspan(kFrameHeaderSize);
    if (sourcePort == kStreamPort) {
        frames_.HandlePacket(payload);
        return;
    }
    ControlReply reply{payload, 0, sourcePort, 0, GetBe16(h.destinationPort), {}};
    std::memcpy(&reply.sourceAddress, h.sourceAddress, 4);
    std::memcpy(&reply.destinationAddress, h.destinationAddress, 4);
    std::memcpy(reply.sourceMac.data(), h.sourceMac, 6);
    Reply(reply);
}

void NetInterface::Reply(const ControlReply& reply) {
    if (reply.sourcePort != kControlPort) {
        odtprintf(L"invalid gev packet\n");
        return;
    }
    if (messages_.IsFull()) {
        odtprintf(L"message queue is full\n");
        return;
    }
    Message message{};
    std::copy(reply.sourceMac.begin(), reply.sourceMac.end(), message.sourceMac);
    message.sourceAddress = reply.sourceAddress;
    message.destinationAddress = reply.destinationAddress;
    message.sourcePort = reply.sourcePort;
    message.destinationPort = reply.destinationPort;
    // A payload longer than a message slot is cut to the slot.
    const size_t length = std::min(reply.payload.size(), sizeof message.payload);
    message.length = static_cast<uint16_t>(length);
    std::memcpy(message.payload, reply.payload.data(), length);
    messages_.Push(&message);
}

int NetInterface::WaitMessage(uint8_t* destination, uint32_t capacity, uint32_t* sourceAddress,
                              uint16_t* sourcePort, uint8_t* sourceMac, int64_t timeoutMicroseconds,
                              uint32_t* payloadLength) {
    // The receive thread's push wakes the wait: a reply is taken the moment it is queued.
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::microseconds(std::max<int64_t>(0, timeoutMicroseconds));
    const int control = transport_ ? transport_->ControlDescriptor() : -1;
    if (control >= 0) {
        // The waiting thread reads the reply itself: no hand-over between threads.
        while (messages_.IsEmpty()) {
            if (WaitReadable(control, deadline) != WaitResult::kReadable) return -1;
            transport_->DrainControl(*this);
        }
    } else if (!messages_.WaitNotEmpty(deadline)) {
        return -1;
    }
    Message message;
    if (messages_.Pop(&message) == 0) return -1;
    const uint32_t copied = std::min<uint32_t>(message.length, capacity);
    if (destination != nullptr) std::memcpy(destination, message.payload, copied);
    if (payloadLength != nullptr) *payloadLength = copied;
    if (sourceAddress != nullptr) *sourceAddress = message.sourceAddress;
    if (sourcePort != nullptr) *sourcePort = message.sourcePort;
    if (sourceMac != nullptr) std::memcpy(sourceMac, message.sourceMac, 6);
    return 0;
}

int NetInterface::FlushMessages() {
    std::lock_guard<std::recursive_mutex> exchange(controlLock_);
    if (transport_) {
        DiscardingSink discard;
        transport_->DrainControl(discard);
    }
    while (!messages_.IsEmpty()) messages_.Pop(nullptr);
    return 1;
}

int NetInterface::FetchNewestFrame(const FrameDestination& dest) const {
    if (!opened_ || !receiving_.load()) return 0;
    return frames_.FetchNewestFrame(dest);
}

bool NetInterface::ReceiveThreadCpuSeconds(double& seconds) {
    clockid_t clock{};
    timespec used{};
    if (!thread_.joinable() || pthread_getcpuclockid(thread_.native_handle(), &clock) != 0 ||
        clock_gettime(clock, &used) != 0) {
        return false;
    }
    seconds = static_cast<double>(used.tv_sec) + used.tv_nsec * 1e-9;
    return true;
}

bool NetInterface::CaptureStats(uint32_t& received, uint32_t& dropped) {
    return transport_ && transport_->Stats(received, dropped) == TransportStatus::kOk;
}

}  // namespace zelir::gige
