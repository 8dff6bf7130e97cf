// Which transport a channel opens with: packet capture when the process may capture, UDP
// sockets otherwise; ZELIR_TRANSPORT=capture|socket forces one.
#pragma once

#include <memory>

#include "gige/packet_transport.h"

namespace zelir::gige {

enum class TransportRequest { kAny, kCapture, kSocket };

// From ZELIR_TRANSPORT; an unknown value is reported and taken as no choice.
TransportRequest RequestedTransport();

// Opens the requested transport (or the first that works) on the adapter; null, with the causes
// and the remedies in the debug output, when none does.
std::unique_ptr<PacketTransport> OpenTransport(const AdapterRecord& adapter,
                                               const CameraEndpoint* camera);

}  // namespace zelir::gige
