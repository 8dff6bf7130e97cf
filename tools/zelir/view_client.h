// One connected page. Its frames go out on the server thread of its WebSocket connection, which
// therefore reads nothing from the page while the page is connected: whatever a page sends on
// the socket stays in the kernel's bounded buffer, so no page can make the server hold an
// unbounded message. Pages send control actions and frame acknowledgements as small HTTP
// requests instead.
//
// A frame goes out when one newer than the last is published and the page has drawn all but
// one of the frames sent (it acknowledges each drawing), so a slow page skips frames, nothing
// piles up in socket buffers, and no other page is delayed.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "frame_mailbox.h"

struct mg_connection;

namespace zelir_cli {

class ViewClient {
  public:
    ViewClient(mg_connection* connection, FrameMailbox& mailbox, std::string id);
    ViewClient(const ViewClient&) = delete;
    ViewClient& operator=(const ViewClient&) = delete;

    const std::string& Id() const { return id_; }
    // Sends frames until the page goes away or Stop() is called.
    void Run();
    // From another thread: makes Run() return.
    void Stop();
    // The page has drawn a frame.
    void Acknowledge();
    // A text message to this page (before Run()).
    void SendText(const std::string& text);

  private:
    bool WaitForRoom();
    bool Ping();

    mg_connection* connection_;
    FrameMailbox& mailbox_;
    std::string id_;
    std::atomic<bool> stop_{false};
    std::mutex inFlightMutex_;
    std::condition_variable acknowledged_;
    int inFlight_ = 0;  // frames sent and not yet drawn
};

}  // namespace zelir_cli
