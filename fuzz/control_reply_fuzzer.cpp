// Packets as the receive thread captures them (a byte choosing the source port, then the UDP
// payload behind a fixed Ethernet/IPv4/UDP header): stream packets go to reassembly, control
// replies to the queue, from which a control exchange takes them.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "gige/control_channel.h"
#include "gige/net_interface.h"

using namespace zelir::fuzz;
using namespace zelir::gige;

namespace {

std::vector<uint8_t> Captured(uint16_t sourcePort, std::span<const uint8_t> payload) {
    std::vector<uint8_t> frame(kFrameHeaderSize, 0);
    frame.insert(frame.end(), payload.begin(), payload.end());
    auto& h = *reinterpret_cast<UdpFrameHeader*>(frame.data());
    PutBe16(h.sourcePort, sourcePort);
    PutBe16(h.destinationPort, 3955);
    return frame;
}

// A good acknowledgement of request `id`: the exchange below always ends on one without waiting.
std::vector<uint8_t> GoodAck(uint16_t id) {
    std::vector<uint8_t> ack(12, 0);
    PutBe16(&ack[2], 0x0085);  // device command acknowledgement
    PutBe16(&ack[4], 4);
    PutBe16(&ack[6], id);
    return ack;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    InputReader input({data, size});
    NetInterface channel(0, 64, 20);
    const uint16_t requestId = input.Word();
    std::vector<uint8_t> destination(input.Word() % 700);
    int replies = 0;
    while (!input.Empty()) {
        const uint8_t port = input.Byte();
        const auto payload = input.Chunk();
        const uint16_t sourcePort = port % 3 == 0   ? kControlPort
                                    : port % 3 == 1 ? kStreamPort
                                                    : port;
        channel.HandleCapturedPacket(Captured(sourcePort, payload));
        if (sourcePort == kControlPort) ++replies;
        if (payload.size() >= 8) CheckAck(payload, GetBe16(&payload[2]), requestId);
    }
    if (replies == 0 || replies >= NetInterface::kQueueSlots) return 0;
    channel.HandleCapturedPacket(Captured(kControlPort, GoodAck(requestId)));
    channel.Control().requestCounter = requestId;
    while (!channel.MessageQueue().IsEmpty()) {
        uint32_t length = 0;
        uint16_t id = 0;
        ReceiveReply(channel, destination, &length, &id);
    }
    return 0;
}
