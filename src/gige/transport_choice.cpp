#include "gige/transport_choice.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "base/debug_output.h"
#include "gige/capture_transport.h"
#include "gige/socket_transport.h"

namespace zelir::gige {
namespace {

constexpr const char* kRemedies =
    "Packet capture needs CAP_NET_RAW: run as root, give the program the capabilities "
    "(setcap cap_net_raw,cap_net_admin+ep PROGRAM), or use the socket transport "
    "(ZELIR_TRANSPORT=socket)\n";

}  // namespace

TransportRequest RequestedTransport() {
    const char* value = std::getenv("ZELIR_TRANSPORT");
    if (value == nullptr || *value == '\0') return TransportRequest::kAny;
    if (std::strcmp(value, "capture") == 0) return TransportRequest::kCapture;
    if (std::strcmp(value, "socket") == 0) return TransportRequest::kSocket;
    odprintf("ZELIR_TRANSPORT=%s is neither capture nor socket: taking either\n", value);
    return TransportRequest::kAny;
}

std::unique_ptr<PacketTransport> OpenTransport(const AdapterRecord& adapter,
                                               const CameraEndpoint* camera) {
    const TransportRequest request = RequestedTransport();
    std::string captureError;
    if (request != TransportRequest::kSocket) {
        auto capture = std::make_unique<CaptureTransport>();
        const TransportStatus status = capture->Open(adapter, camera, captureError);
        if (status == TransportStatus::kOk) return capture;
        odprintf("Unable to open the adapter %s for capture: %s\n", adapter.name,
                 captureError.c_str());
        if (request == TransportRequest::kCapture) {
            if (status == TransportStatus::kNotPermitted) odprintf("%s", kRemedies);
            return nullptr;
        }
    }
    auto socket = std::make_unique<SocketTransport>();
    std::string socketError;
    if (socket->Open(adapter, camera, socketError) == TransportStatus::kOk) {
        if (request == TransportRequest::kAny) {
            odprintf("Reaching cameras on %s through UDP sockets\n", adapter.name);
        }
        return socket;
    }
    odprintf("Unable to open UDP sockets on %s: %s\n", adapter.name, socketError.c_str());
    if (request == TransportRequest::kAny) odprintf("%s", kRemedies);
    return nullptr;
}

}  // namespace zelir::gige
