#include "view_server.h"

#include <arpa/inet.h>
#include <civetweb.h>

#include <cstring>
#include <vector>

#include "web_assets.h"

namespace zelir_cli {

namespace {

// Each page holds one server thread for its WebSocket; the rest serve files.
constexpr size_t kMaxClients = 8;
constexpr const char* kServerThreads = "16";
// Request lines and headers beyond this are refused by the server itself.
constexpr const char* kMaxRequestBytes = "8192";
constexpr const char* kRequestTimeoutMs = "10000";
constexpr size_t kTokenBytes = 64;

ViewServer& Self(void* self) {
    return *static_cast<ViewServer*>(self);
}

std::string JsonText(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) continue;
        out += c;
    }
    return out + "\"";
}

std::string Reply(const char* key, std::string_view text) {
    return std::string("{\"") + key + "\":" + JsonText(text) + "}";
}

const char* KindName(SourceKind kind) {
    switch (kind) {
        case SourceKind::kCamera:
            return "camera";
        case SourceKind::kMovie:
            return "movie";
        default:
            return "image";
    }
}

// A path that names a parent folder in any spelling ("..", "%2e%2e", "%2E.").
bool ClimbsUp(const char* rawUri) {
    if (rawUri == nullptr) return true;
    std::vector<char> decoded(std::strlen(rawUri) + 1);
    mg_url_decode(rawUri, static_cast<int>(std::strlen(rawUri)), decoded.data(),
                  static_cast<int>(decoded.size()), 0);
    return std::string_view(decoded.data()).find("..") != std::string_view::npos;
}

bool ConstantTimeEqual(std::string_view a, std::string_view b) {
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) difference |= a[i] ^ b[i];
    return difference == 0;
}

}  // namespace

bool IsNumericAddress(const std::string& address) {
    unsigned char buffer[16];
    return inet_pton(AF_INET, address.c_str(), buffer) == 1 ||
           inet_pton(AF_INET6, address.c_str(), buffer) == 1;
}

bool IsLoopbackAddress(const std::string& address) {
    in_addr v4{};
    if (inet_pton(AF_INET, address.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    return inet_pton(AF_INET6, address.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

ViewServer::ViewServer(ViewSource& source, FrameMailbox& mailbox, ViewServerOptions options)
    : source_(source), mailbox_(mailbox), options_(std::move(options)) {}

ViewServer::~ViewServer() {
    // Closes every connection; the close handler joins each client's sender.
    if (context_ != nullptr) mg_stop(context_);
}

bool ViewServer::Start(std::string& error) {
    const bool v6 = options_.bind.find(':') != std::string::npos;
    const std::string ports =
        (v6 ? "[" + options_.bind + "]" : options_.bind) + ":" + std::to_string(options_.port);
    const char* settings[] = {"listening_ports",
                              ports.c_str(),
                              "num_threads",
                              kServerThreads,
                              "max_request_size",
                              kMaxRequestBytes,
                              "request_timeout_ms",
                              kRequestTimeoutMs,
                              "enable_websocket_ping_pong",
                              "yes",
                              "enable_keep_alive",
                              "no",
                              nullptr};
    mg_callbacks callbacks{};
    // The server's own log lines would repeat what the tool reports.
    callbacks.log_message = [](const mg_connection*, const char*) { return 1; };
    mg_init_data init{&callbacks, this, settings};
    char text[256] = "";
    mg_error_data failure{nullptr, text, sizeof(text)};
    context_ = mg_start2(&init, &failure);
    if (context_ == nullptr) {
        error = std::string("cannot listen on ") + ports + (text[0] ? ": " : "") + text;
        return false;
    }
    mg_server_port listening[4]{};
    if (mg_get_server_ports(context_, 4, listening) > 0) port_ = listening[0].port;
    // The first matching handler serves a request: the page's catch-all comes last.
    mg_set_websocket_handler(context_, "/frames$", OnConnect, OnReady, OnData, OnClose, this);
    mg_set_request_handler(context_, "/status$", OnStatus, this);
    mg_set_request_handler(context_, "/", OnPage, this);
    return true;
}

int ViewServer::OnPage(mg_connection* connection, void* self) {
    return Self(self).ServePage(connection);
}

int ViewServer::OnStatus(mg_connection* connection, void* self) {
    return Self(self).ServeStatus(connection);
}

int ViewServer::ServePage(mg_connection* connection) {
    const mg_request_info* request = mg_get_request_info(connection);
    const std::string_view method = request->request_method;
    if (method != "GET" && method != "HEAD") {
        mg_send_http_error(connection, 405, "%s", "only GET and HEAD");
        return 405;
    }
    if (ClimbsUp(request->request_uri)) {
        mg_send_http_error(connection, 400, "%s", "path refused");
        return 400;
    }
    const WebAsset* asset = FindWebAsset(request->local_uri);
    if (asset == nullptr) {
        mg_send_http_error(connection, 404, "%s", "not found");
        return 404;
    }
    mg_printf(connection,
              "HTTP/1.1 200 OK\r\nContent-Type: %s\r\nContent-Length: %zu\r\n"
              "Cache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
              "Content-Security-Policy: default-src 'self'; img-src 'self' blob: data:\r\n"
              "Connection: close\r\n\r\n",
              WebAssetType(asset->path), asset->size);
    if (method == "GET") mg_write(connection, asset->data, asset->size);
    return 200;
}

int ViewServer::ServeStatus(mg_connection* connection) {
    size_t clients = 0;
    {
        std::lock_guard lock(clientsMutex_);
        clients = clients_.size();
    }
    const std::string body = std::string("{\"source\":\"") + KindName(source_.Kind()) +
                             "\",\"width\":" + std::to_string(source_.Width()) +
                             ",\"height\":" + std::to_string(source_.Height()) +
                             ",\"clients\":" + std::to_string(clients) +
                             ",\"published\":" + std::to_string(mailbox_.Published()) +
                             ",\"token_needed\":" + (NeedsToken() ? "true" : "false") + "}";
    mg_send_http_ok(connection, "application/json", static_cast<long long>(body.size()));
    mg_write(connection, body.data(), body.size());
    return 200;
}

int ViewServer::OnConnect(const mg_connection* connection, void* self) {
    ViewServer& server = Self(self);
    // Another site's page in the same browser must not reach the camera: the origin must be
    // this server.
    const char* origin = mg_get_header(connection, "Origin");
    const char* host = mg_get_header(connection, "Host");
    if (origin != nullptr &&
        (host == nullptr || std::string(origin) != std::string("http://") + host)) {
        return 1;
    }
    std::lock_guard lock(server.clientsMutex_);
    return server.clients_.size() < kMaxClients ? 0 : 1;
}

bool ViewServer::HasToken(const mg_connection* connection) const {
    if (!NeedsToken()) return true;
    const char* query = mg_get_request_info(connection)->query_string;
    char token[kTokenBytes + 1] = "";
    if (query == nullptr ||
        mg_get_var(query, std::strlen(query), "token", token, sizeof(token)) <= 0) {
        return false;
    }
    return ConstantTimeEqual(token, options_.token);
}

void ViewServer::OnReady(mg_connection* connection, void* self) {
    ViewServer& server = Self(self);
    auto client =
        std::make_unique<ViewClient>(connection, server.mailbox_, server.HasToken(connection));
    client->SendText(std::string("{\"source\":\"") + KindName(server.source_.Kind()) +
                     "\",\"control\":" + (client->MayControl() ? "true" : "false") + "}");
    std::lock_guard lock(server.clientsMutex_);
    server.clients_[connection] = std::move(client);
}

int ViewServer::OnData(mg_connection* connection, int bits, char* data, size_t size, void* self) {
    switch (bits & 0x0f) {
        case MG_WEBSOCKET_OPCODE_TEXT:
            return Self(self).HandleText(connection, std::string_view(data, size)) ? 1 : 0;
        case MG_WEBSOCKET_OPCODE_PING:
        case MG_WEBSOCKET_OPCODE_PONG:
            return 1;
        default:
            // Pages send short text only; anything else ends the connection.
            return 0;
    }
}

bool ViewServer::HandleText(mg_connection* connection, std::string_view text) {
    if (text.size() > kMaxControlBytes) return false;
    ViewClient* client = nullptr;
    {
        std::lock_guard lock(clientsMutex_);
        const auto found = clients_.find(connection);
        if (found == clients_.end()) return false;
        client = found->second.get();
    }
    if (text == "drawn") {
        client->Acknowledge();
        return true;
    }
    if (!client->MayControl()) {
        client->SendText(Reply("error", "control needs the token printed at start-up"));
        return true;
    }
    const auto control = ParseViewControl(text);
    if (!control) {
        client->SendText(Reply("error", "unknown action: " + std::string(text)));
        return true;
    }
    std::string detail;
    const std::string refused = source_.Apply(*control, detail);
    if (!refused.empty()) {
        client->SendText(Reply("error", refused));
    } else {
        client->SendText(detail.empty() ? Reply("done", text) : Reply("recording", detail));
    }
    return true;
}

void ViewServer::OnClose(const mg_connection* connection, void* self) {
    ViewServer& server = Self(self);
    std::unique_ptr<ViewClient> client;
    {
        std::lock_guard lock(server.clientsMutex_);
        const auto found = server.clients_.find(connection);
        if (found == server.clients_.end()) return;
        client = std::move(found->second);
        server.clients_.erase(found);
    }
    client.reset();  // joins its sender while the connection still exists
}

}  // namespace zelir_cli
