#include "gige/capture_transport.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/debug_output.h"

namespace zelir::gige {
namespace {

constexpr int kSnapLength = 65536;
// libpcap's TPACKET_V3 ring hands packets over when a block fills or the read time-out runs
// out; 2 ms costs about a tenth of the per-packet wake-ups of immediate mode at full stream
// rate, and control replies do not wait for it (they come through the control socket).
constexpr int kCameraReadTimeoutMs = 2;

void HandOver(u_char* user, const pcap_pkthdr* header, const u_char* data) {
    reinterpret_cast<ReceiveSink*>(user)->CapturedFrame({data, header->caplen});
}

}  // namespace

CaptureTransport::CaptureTransport()
    : sendBuffer_(std::make_unique<std::array<uint8_t, kSendBufferSize>>()) {}

TransportStatus CaptureTransport::Open(const AdapterRecord& adapter, const CameraEndpoint* camera,
                                       std::string& error) {
    char text[PCAP_ERRBUF_SIZE] = {};
    PcapHandle capture(pcap_create(adapter.name, text));
    if (!capture) {
        error = text;
        return TransportStatus::kFailed;
    }
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
        error = pcap_statustostr(status);
        if (status == PCAP_ERROR) error += std::string(": ") + pcap_geterr(capture.get());
        return status == PCAP_ERROR_PERM_DENIED ? TransportStatus::kNotPermitted
                                                : TransportStatus::kFailed;
    }
    if (pcap_datalink(capture.get()) != DLT_EN10MB) {
        odtprintf(L"This program works only on Ethernet networks.\n");
    }
    if (camera != nullptr) {
        const TransportStatus control =
            control_.OpenConnected(adapter.address, camera->address, false, error);
        if (control != TransportStatus::kOk) return control;
    }
    capture_ = std::move(capture);
    ownAddress_ = adapter.address;
    std::copy(std::begin(adapter.mac), std::end(adapter.mac), ownMac_.begin());
    return TransportStatus::kOk;
}

TransportStatus CaptureTransport::SetFilter(const char* text) {
    if (!capture_) return TransportStatus::kFailed;
    // With a control socket the ring carries the stream alone.
    const std::string expression = control_.Open() ? std::string(text) + " and not (src port " +
                                                         std::to_string(kControlPort) + ")"
                                                   : std::string(text);
    bpf_program program{};
    if (pcap_compile(capture_.get(), &program, expression.c_str(), 1, 0) != 0) {
        odtprintf(L"Error compile the packet filter.Check the syntax.\n");
        odprintf("pcap_compile: %s\n", pcap_geterr(capture_.get()));
        return TransportStatus::kFailed;
    }
    const int set = pcap_setfilter(capture_.get(), &program);
    pcap_freecode(&program);
    if (set != 0) {
        odtprintf(L"Error setting the filter.\n");
        odprintf("pcap_setfilter: %s\n", pcap_geterr(capture_.get()));
        return TransportStatus::kFailed;
    }
    return TransportStatus::kOk;
}

TransportStatus CaptureTransport::Send(std::span<const uint8_t> payload, const MacAddress& mac,
                                       uint32_t address) {
    if (!capture_) return TransportStatus::kFailed;
    if (control_.Open()) return control_.Send(payload, address);
    const UdpEndpoints ends{ownMac_, mac, ownAddress_, address};
    const size_t length = BuildUdpFrame(*sendBuffer_, ends, payload);
    if (length == 0) return TransportStatus::kFailed;  // larger than one frame: nothing sent
    if (pcap_sendpacket(capture_.get(), sendBuffer_->data(), static_cast<int>(length)) != 0) {
        odtprintf(L"send packet failure.\n");
    }
    return TransportStatus::kOk;
}

ReceiveStatus CaptureTransport::Receive(ReceiveSink& sink) {
    const int count = pcap_dispatch(capture_.get(), -1, HandOver, reinterpret_cast<u_char*>(&sink));
    if (count > 0) return ReceiveStatus::kPackets;
    if (count == 0) return ReceiveStatus::kIdle;
    return count == PCAP_ERROR_BREAK ? ReceiveStatus::kInterrupted : ReceiveStatus::kError;
}

void CaptureTransport::Interrupt() {
    if (capture_) pcap_breakloop(capture_.get());
}

TransportStatus CaptureTransport::Stats(uint32_t& received, uint32_t& dropped) {
    pcap_stat stats{};
    if (!capture_ || pcap_stats(capture_.get(), &stats) != 0) return TransportStatus::kFailed;
    received = stats.ps_recv;
    dropped = stats.ps_drop;
    return TransportStatus::kOk;
}

}  // namespace zelir::gige
