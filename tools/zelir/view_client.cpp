#include "view_client.h"

#include <civetweb.h>

namespace zelir_cli {

namespace {

// Two frames on the way hide the acknowledgement's round trip without queueing stale frames.
constexpr int kMaxInFlight = 2;

}  // namespace

ViewClient::ViewClient(mg_connection* connection, FrameMailbox& mailbox, bool mayControl)
    : connection_(connection), mailbox_(mailbox), mayControl_(mayControl) {
    sender_ = std::thread([this] { SendFrames(); });
}

ViewClient::~ViewClient() {
    {
        std::lock_guard lock(inFlightMutex_);
        stop_ = true;
    }
    acknowledged_.notify_all();
    mailbox_.WakeAll();
    sender_.join();
}

void ViewClient::Acknowledge() {
    {
        std::lock_guard lock(inFlightMutex_);
        if (inFlight_ > 0) --inFlight_;
    }
    acknowledged_.notify_all();
}

bool ViewClient::WaitForRoom() {
    std::unique_lock lock(inFlightMutex_);
    acknowledged_.wait(lock, [this] { return stop_ || inFlight_ < kMaxInFlight; });
    return !stop_;
}

void ViewClient::SendText(const std::string& text) {
    mg_websocket_write(connection_, MG_WEBSOCKET_OPCODE_TEXT, text.data(), text.size());
}

void ViewClient::SendFrames() {
    uint64_t seen = 0;
    while (WaitForRoom()) {
        // The newest frame when there is room: frames published meanwhile are skipped.
        const ViewMessage message = mailbox_.WaitNewer(seen, stop_);
        if (!message) return;
        {
            std::lock_guard lock(inFlightMutex_);
            ++inFlight_;
        }
        const int written =
            mg_websocket_write(connection_, MG_WEBSOCKET_OPCODE_BINARY,
                               reinterpret_cast<const char*>(message->data()), message->size());
        if (written <= 0) return;
    }
}

}  // namespace zelir_cli
