// One connected page: a thread of its own sends it the newest frame whenever one is published
// and it has taken the previous one, so a slow page skips frames and delays no other page.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "frame_mailbox.h"

struct mg_connection;

namespace zelir_cli {

class ViewClient {
  public:
    ViewClient(mg_connection* connection, FrameMailbox& mailbox, bool mayControl);
    // Stops and joins the sender; the connection must still be valid.
    ~ViewClient();
    ViewClient(const ViewClient&) = delete;
    ViewClient& operator=(const ViewClient&) = delete;

    bool MayControl() const { return mayControl_; }
    // A text message (replies to control actions) to this page.
    void SendText(const std::string& text);

  private:
    void SendFrames();

    mg_connection* connection_;
    FrameMailbox& mailbox_;
    bool mayControl_;
    std::atomic<bool> stop_{false};
    std::thread sender_;
};

}  // namespace zelir_cli
