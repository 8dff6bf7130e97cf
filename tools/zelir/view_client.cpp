#include "view_client.h"

#include <civetweb.h>

namespace zelir_cli {

ViewClient::ViewClient(mg_connection* connection, FrameMailbox& mailbox, bool mayControl)
    : connection_(connection), mailbox_(mailbox), mayControl_(mayControl) {
    sender_ = std::thread([this] { SendFrames(); });
}

ViewClient::~ViewClient() {
    stop_ = true;
    mailbox_.WakeAll();
    sender_.join();
}

void ViewClient::SendText(const std::string& text) {
    mg_websocket_write(connection_, MG_WEBSOCKET_OPCODE_TEXT, text.data(), text.size());
}

void ViewClient::SendFrames() {
    uint64_t seen = 0;
    while (ViewMessage message = mailbox_.WaitNewer(seen, stop_)) {
        // Blocks while this page is slow to read; frames published meanwhile are skipped.
        const int written =
            mg_websocket_write(connection_, MG_WEBSOCKET_OPCODE_BINARY,
                               reinterpret_cast<const char*>(message->data()), message->size());
        if (written <= 0) return;
    }
}

}  // namespace zelir_cli
