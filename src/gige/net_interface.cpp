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

#include "base/debug_output.h"
#include "base/timer.h"
#include "gige/adapter_table.h"

namespace zelir::gige {
namespace {

constexpr int kSnapLength = 65536;
// libpcap's TPACKET_V3 ring hands packets over when a block fills or the read time-out runs
// out; a 2 ms time-out keeps control replies well inside their 200 ms budget while costing
// about a tenth of the per-packet wake-ups of immediate mode at full stream rate.
constexpr int kCameraReadTimeoutMs = 2;
constexpr auto kThreadSettle = std::chrono::milliseconds(40);

const char kDiscoveryFilter[] = "(ip and udp) and (src port 3956)";
const char kInitialFilter[] = "(ip and udp) and (src port 3956 or src port 3958)";

void RaiseThreadPriority() {
    // One step above normal; without the privilege the thread keeps its priority.
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, tid, getpriority(PRIO_PROCESS, tid) - 1);
}

}  // namespace

NetInterface::NetInterface(uint32_t adapterIndex, uint32_t width, uint32_t height)
    : adapterIndex_(adapterIndex),
      sendBuffer_(std::make_unique<std::array<uint8_t, kSendBufferSize>>()),
      frames_(width, height) {
    messages_.Init(kQueueSlots, sizeof(Message));
    std::strncpy(filterText_.data(), kInitialFilter, filterText_.size() - 1);
}

NetInterface::~NetInterface() {
    Stop();
}

int NetInterface::OpenAdapter(uint32_t adapterIndex, const CameraEndpoint* camera) {
    Stop();
    const std::optional<AdapterRecord> adapter = GetAdapter(adapterIndex);
    char error[PCAP_ERRBUF_SIZE] = {};
    if (!adapter) std::snprintf(error, sizeof error, "no adapter %u", adapterIndex);
    PcapHandle capture(adapter ? pcap_create(adapter->name, error) : nullptr);
    if (capture) {
        pcap_set_snaplen(capture.get(), kSnapLength);
        pcap_set_promisc(capture.get(), 1);
        if (camera != nullptr) {
            pcap_set_timeout(capture.get(), kCameraReadTimeoutMs);
            pcap_set_buffer_size(capture.get(), kCameraBufferBytes);
        } else {
            // Discovery waits on a handful of replies: hand each over at once.
            pcap_set_immediate_mode(capture.get(), 1);
            pcap_set_buffer_size(capture.get(), kDiscoveryBufferBytes);
        }
        const int status = pcap_activate(capture.get());
        if (status < 0) {
            // pcap_geterr holds the details for PCAP_ERROR only; the status names the others.
            std::snprintf(error, sizeof error, "%s%s%s", pcap_statustostr(status),
                          status == PCAP_ERROR ? ": " : "",
                          status == PCAP_ERROR ? pcap_geterr(capture.get()) : "");
            capture.reset();
        }
    }
    if (!capture) {
        odprintf("Unable to open the adapter %s for capture: %s\n",
                 adapter ? adapter->name : "(none)", error);
        return kFailure;
    }
    if (pcap_datalink(capture.get()) != DLT_EN10MB) {
        odtprintf(L"This program works only on Ethernet networks.\n");
    }
    capture_ = std::move(capture);
    ownAddress_ = adapter->address;
    std::copy(std::begin(adapter->mac), std::end(adapter->mac), ownMac_.begin());

    if (camera == nullptr) {
        std::snprintf(filterText_.data(), filterText_.size(), "%s", kDiscoveryFilter);
        ApplyFilter(filterText_.data());
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

int NetInterface::ApplyFilter(const char* text) {
    bpf_program program{};
    if (pcap_compile(capture_.get(), &program, text, 1, 0) != 0) {
        odtprintf(L"Error compile the packet filter.Check the syntax.\n");
        odprintf("pcap_compile: %s\n", pcap_geterr(capture_.get()));
        return kFailure;
    }
    const int set = pcap_setfilter(capture_.get(), &program);
    pcap_freecode(&program);
    if (set != 0) {
        odtprintf(L"Error setting the filter.\n");
        odprintf("pcap_setfilter: %s\n", pcap_geterr(capture_.get()));
        return kFailure;
    }
    return kSuccess;
}

int NetInterface::SetSourceFilter(const MacAddress& mac, int apply) {
    std::snprintf(filterText_.data(), filterText_.size(),
                  "(ip and udp) and (src port 3956 or src port 3958) and "
                  "(ether src %02x:%02x:%02x:%02x:%02x:%02x)",
                  mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    if (apply == 0 || !capture_) return kFailure;
    return ApplyFilter(filterText_.data());
}

void NetInterface::Stop() {
    if (thread_.joinable()) {
        // The thread is never killed: it notices the request at once through breakloop.
        stopRequest_ = 1;
        if (capture_) pcap_breakloop(capture_.get());
        thread_.join();
    }
    capture_.reset();
    openAdapter_ = -1;
}

int NetInterface::SendUdp(std::span<const uint8_t> payload, const MacAddress& destinationMac,
                          uint32_t destinationAddress) {
    if (!capture_) return kFailure;
    const UdpEndpoints ends{ownMac_, destinationMac, ownAddress_, destinationAddress};
    const size_t length = BuildUdpFrame(*sendBuffer_, ends, payload);
    if (length == 0) return kFailure;  // larger than one frame: refused, nothing sent
    if (pcap_sendpacket(capture_.get(), sendBuffer_->data(), static_cast<int>(length)) != 0) {
        odtprintf(L"send packet failure.\n");
    }
    return kSuccess;
}

void NetInterface::ReceiveLoop() {
    frames_.Restart();
    RaiseThreadPriority();
    std::this_thread::sleep_for(kThreadSettle);
    odtprintf(L"receive thread started\n");
    started_ = true;
    started_.notify_all();
    pcap_t* const capture = capture_.get();
    while (capture != nullptr && stopRequest_.load(std::memory_order_relaxed) == 0) {
        pcap_pkthdr* header = nullptr;
        const u_char* data = nullptr;
        const int result = pcap_next_ex(capture, &header, &data);
        if (result == 1) {
            HandleCapturedPacket({data, header->caplen});
        } else if (result == PCAP_ERROR) {
            // A failing capture would spin: wait for the stop request at a gentle pace.
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
    } else if (sourcePort == kControlPort) {
        if (messages_.IsFull()) {
            odtprintf(L"message queue is full\n");
            return;
        }
        std::memcpy(received_.sourceMac, h.sourceMac, 6);
        std::memcpy(&received_.sourceAddress, h.sourceAddress, 4);
        std::memcpy(&received_.destinationAddress, h.destinationAddress, 4);
        received_.sourcePort = sourcePort;
        received_.destinationPort = GetBe16(h.destinationPort);
        // A payload longer than a message slot is cut to the slot.
        const size_t length = std::min(payload.size(), sizeof received_.payload);
        received_.length = static_cast<uint16_t>(length);
        std::memcpy(received_.payload, payload.data(), length);
        messages_.Push(&received_);
    } else {
        odtprintf(L"invalid gev packet\n");
    }
}

int NetInterface::WaitMessage(uint8_t* destination, uint32_t capacity, uint32_t* sourceAddress,
                              uint16_t* sourcePort, uint8_t* sourceMac, int64_t timeoutMicroseconds,
                              uint32_t* payloadLength) {
    // The receive thread's push wakes the wait: a reply is taken the moment it is queued.
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::microseconds(std::max<int64_t>(0, timeoutMicroseconds));
    if (!messages_.WaitNotEmpty(deadline)) return -1;
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
    pcap_stat stats{};
    if (!capture_ || pcap_stats(capture_.get(), &stats) != 0) return false;
    received = stats.ps_recv;
    dropped = stats.ps_drop;
    return true;
}

}  // namespace zelir::gige
