// One connected page: a thread of its own sends it the newest frame whenever one is published
// and the page has drawn all but one of the frames sent (it acknowledges each drawing), so a
// slow page skips frames, nothing piles up in socket buffers, and no other page is delayed.
#pragma once

#include <atomic>
#include <condition_variable>
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
    // The page has drawn a frame.
    void Acknowledge();

  private:
    void SendFrames();
    bool WaitForRoom();

    mg_connection* connection_;
    FrameMailbox& mailbox_;
    bool mayControl_;
    std::atomic<bool> stop_{false};
    std::mutex inFlightMutex_;
    std::condition_variable acknowledged_;
    int inFlight_ = 0;  // frames sent and not yet drawn
    std::thread sender_;
};

}  // namespace zelir_cli
