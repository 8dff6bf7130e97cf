// The HTTP and WebSocket side of `zelir view`, on civetweb (Debian's libcivetweb-dev: a small,
// maintained embeddable C server with WebSockets built in, so the tool needs no framework and
// no second process). It serves the page's own files and nothing else, sends frames over
// WebSockets and takes control actions from the pages.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "frame_mailbox.h"
#include "view_client.h"
#include "view_source.h"

struct mg_context;
struct mg_connection;

namespace zelir_cli {

struct ViewServerOptions {
    std::string bind = "127.0.0.1";
    int port = 8080;
    // Control actions need it unless the server listens on loopback only.
    std::string token;
};

// True for addresses that only this machine reaches (127.0.0.0/8).
bool IsLoopbackAddress(const std::string& address);
// A dotted IPv4 address (Debian's civetweb listens on IPv4 only).
bool IsIpv4Address(const std::string& address);

class ViewServer {
  public:
    ViewServer(ViewSource& source, FrameMailbox& mailbox, ViewServerOptions options);
    ~ViewServer();
    ViewServer(const ViewServer&) = delete;
    ViewServer& operator=(const ViewServer&) = delete;

    bool Start(std::string& error);
    int Port() const { return port_; }
    bool NeedsToken() const { return !IsLoopbackAddress(options_.bind); }

  private:
    static int OnPage(mg_connection* connection, void* self);
    static int OnStatus(mg_connection* connection, void* self);
    static int OnControl(mg_connection* connection, void* self);
    static int OnDrawn(mg_connection* connection, void* self);
    static int OnConnect(const mg_connection* connection, void* self);
    static void OnReady(mg_connection* connection, void* self);
    static int OnData(mg_connection* connection, int bits, char* data, size_t size, void* self);

    int ServePage(mg_connection* connection);
    int ServeStatus(mg_connection* connection);
    int ServeControl(mg_connection* connection);
    int ServeDrawn(mg_connection* connection);
    void ServeFrames(mg_connection* connection);
    bool HasToken(const mg_connection* connection) const;
    std::string NewClientId();

    ViewSource& source_;
    FrameMailbox& mailbox_;
    ViewServerOptions options_;
    mg_context* context_ = nullptr;
    int port_ = 0;
    std::mutex clientsMutex_;
    bool stopping_ = false;
    uint64_t clientCount_ = 0;
    // The connected pages; each object lives on its connection's thread while it is listed.
    std::map<std::string, ViewClient*> clients_;
};

}  // namespace zelir_cli
