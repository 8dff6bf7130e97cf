// The unacknowledged transfers: bad-point list and buffer. Messages are paced by busy waits
// instead of acknowledgements.
#include <algorithm>
#include <array>
#include <cstring>

#include "base/debug_output.h"
#include "gige/block_transfer.h"
#include "gige/busy_delay.h"
#include "gige/camera_settings.h"
#include "stream/stream_base.h"

namespace zelir::gige {
namespace {

// Phase flags of a buffer transfer's blocks.
constexpr uint8_t kPhaseFirst = 0x40;
constexpr uint8_t kPhaseMiddle = 0x00;
constexpr uint8_t kPhaseLast = 0x80;
constexpr uint32_t kPointsPerMessage = 60;
constexpr uint32_t kPointBytes = 4;
constexpr uint32_t kPacingMs = 4;
constexpr std::array<uint8_t, 4> kStartMarker = {0x00, 0x00, 0x00, 0x00};
constexpr std::array<uint8_t, 4> kEndMarker = {0xFF, 0xFF, 0xFF, 0xFF};

// Completes the frame whose data already stands behind the header and sends it.
Status SendWithHeader(CStreamBase& stream, uint32_t n) {
    CommandMessage* message = stream.Commands();
    if (message == nullptr) return Status::kUnsupported;
    if (message->BuildHeader(kBadPointListId, 1, n) != 0) return Status::kInvalidArgument;
    return SendBuilt(stream);
}

void ReportFailure(Status sent) {
    if (sent == Status::kOk) {
        DelayMilliseconds(kPacingMs);
    } else {
        odtprintf(L"Error:failed to download badpoint\n");
    }
}

}  // namespace

int32_t TransmitBadPoints(CStreamBase& stream, const int16_t* map) {
    DelayInit();
    CommandMessage* message = stream.Commands();
    uint8_t* data = message != nullptr && message->GetMessage() != nullptr
                        ? message->GetMessage() + CommandMessage::GetHeaderSize()
                        : nullptr;
    if (map == nullptr) return 0;
    // Without a message buffer the points are still counted; every send reports its failure.
    std::array<uint8_t, kPointsPerMessage * kPointBytes> scratch{};
    uint8_t* points = data != nullptr ? data : scratch.data();

    std::memcpy(points, kStartMarker.data(), kStartMarker.size());
    ReportFailure(SendWithHeader(stream, kStartMarker.size()));
    int32_t messages = 1;
    int32_t count = 0;
    uint32_t bytes = 0;
    const uint32_t width = stream.GetWidth();
    const uint32_t height = stream.GetHeight();
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            if (map[y * width + x] < 1) continue;
            points[bytes++] = static_cast<uint8_t>(x);
            points[bytes++] = static_cast<uint8_t>(x >> 8);
            points[bytes++] = static_cast<uint8_t>(y);
            points[bytes++] = static_cast<uint8_t>(y >> 8);
            ++count;
            if (bytes < kPointsPerMessage * kPointBytes) continue;
            ReportFailure(SendWithHeader(stream, bytes));
            odtprintf(L"Info:transfer number is %d\n", ++messages);
            bytes = 0;
        }
    }
    if (bytes > 0) {
        DelayMilliseconds(kPacingMs);
        ReportFailure(SendWithHeader(stream, bytes));
        odtprintf(L"Info:last transfer number is %d\n", ++messages);
    }
    std::memcpy(points, kEndMarker.data(), kEndMarker.size());
    if (SendWithHeader(stream, kEndMarker.size()) != Status::kOk) {
        odtprintf(L"Error:failed to download badpoint\n");
    }
    odtprintf(L"transfered %d bad points\n", count);
    return count;
}

int32_t TransmitBuffer(CStreamBase& stream, const uint8_t* data, uint32_t size, uint32_t type,
                       uint32_t settleMs) {
    if (size > kMaxTransferBytes || (data == nullptr && size > 0)) return 0;
    DelayInit();
    const int64_t start = DelayNowMicroseconds();
    const uint32_t count = (size + kBufferBlockBytes - 1) / kBufferBlockBytes;
    // packetBuff: byte 0 type and phase flag, bytes 1..3 the offset (24-bit little-endian).
    std::array<uint8_t, 4 + kBufferBlockBytes> packetBuff{};
    int32_t transactions = 0;

    auto send = [&](uint8_t flag, uint32_t offset, uint32_t length) {
        packetBuff[0] = static_cast<uint8_t>(type | flag);
        packetBuff[1] = static_cast<uint8_t>(offset);
        packetBuff[2] = static_cast<uint8_t>(offset >> 8);
        packetBuff[3] = static_cast<uint8_t>(offset >> 16);
        if (length > 0) std::memcpy(&packetBuff[4], data + offset, length);
        if (SendFramed(stream, kBlockTransferId, 1, packetBuff.data(), length + 4) != Status::kOk) {
            odtprintf(L"%#8x:%d bytes failed\n", offset, length);
            return false;
        }
        odtprintf(L"%#8x:%d bytes\n", offset, length);
        DelayMilliseconds(kPacingMs);
        ++transactions;
        return true;
    };

    if (size <= kBufferBlockBytes) {
        if (!send(kPhaseFirst, 0, size) || !send(kPhaseLast, size, 0)) return 0;
    } else {
        if (!send(kPhaseFirst, 0, kBufferBlockBytes)) return 0;
        uint32_t offset = kBufferBlockBytes;
        for (uint32_t i = 1; i + 1 < count; ++i, offset += kBufferBlockBytes) {
            if (!send(kPhaseMiddle, offset, kBufferBlockBytes)) return 0;
        }
        if (!send(kPhaseLast, offset, size - offset)) return 0;
    }
    const int64_t seconds = (DelayNowMicroseconds() - start) / 1000000;
    odtprintf(L"%d bytes transfered in %d seconds with %d transactions, speed:%.1fKiB/s\n",
              static_cast<int>(size), static_cast<int>(seconds), transactions,
              static_cast<double>(static_cast<float>(size / (seconds * 1000.0))));
    DelayMilliseconds(settleMs);
    return 1;
}

}  // namespace zelir::gige
