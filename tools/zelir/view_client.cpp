#include "view_client.h"

#include <civetweb.h>

namespace zelir_cli {

namespace {

// Two frames on the way hide the acknowledgement's round trip without queueing stale frames.
constexpr int kMaxInFlight = 2;
// A page that gets no frames (a paused movie) is pinged this often, so a closed page is noticed.
constexpr auto kPingInterval = std::chrono::milliseconds(1000);

}  // namespace

ViewClient::ViewClient(mg_connection* connection, FrameMailbox& mailbox, std::string id)
    : connection_(connection), mailbox_(mailbox), id_(std::move(id)) {}

void ViewClient::Stop() {
    {
        std::lock_guard lock(inFlightMutex_);
        stop_ = true;
    }
    acknowledged_.notify_all();
    mailbox_.WakeAll();
}

void ViewClient::Acknowledge() {
    {
        std::lock_guard lock(inFlightMutex_);
        if (inFlight_ > 0) --inFlight_;
    }
    acknowledged_.notify_all();
}

void ViewClient::SendText(const std::string& text) {
    mg_websocket_write(connection_, MG_WEBSOCKET_OPCODE_TEXT, text.data(), text.size());
}

// An empty text message, not a WebSocket ping: the pong would wait unread in the socket.
bool ViewClient::Ping() {
    static constexpr char kEmpty[] = "{}";
    return mg_websocket_write(connection_, MG_WEBSOCKET_OPCODE_TEXT, kEmpty, 2) > 0;
}

// False when stopped or when the page is gone; waits for an acknowledgement while two frames
// are on the way.
bool ViewClient::WaitForRoom() {
    while (!stop_) {
        {
            std::unique_lock lock(inFlightMutex_);
            if (acknowledged_.wait_for(lock, kPingInterval,
                                       [this] { return stop_ || inFlight_ < kMaxInFlight; })) {
                return !stop_;
            }
        }
        if (!Ping()) return false;
    }
    return false;
}

void ViewClient::Run() {
    uint64_t seen = 0;
    while (WaitForRoom()) {
        // The newest frame: frames published while this page was busy are skipped.
        const ViewMessage message = mailbox_.WaitNewer(seen, stop_, kPingInterval);
        if (stop_) return;
        if (!message) {
            if (!Ping()) return;
            continue;
        }
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
