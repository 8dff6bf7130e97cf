#include "view_server.h"

#include <arpa/inet.h>
#include <civetweb.h>

#include <cstring>
#include <optional>
#include <vector>

#include "web_assets.h"

namespace zelir_cli {

namespace {

// Each page holds one server thread for its WebSocket; the rest serve files, control actions
// and acknowledgements.
constexpr size_t kMaxClients = 8;
constexpr const char* kServerThreads = "32";
// Pages without it cannot send control actions from another site's page: a browser sends a
// request with a header of its own only after asking this server, which never agrees.
constexpr const char* kRequestHeader = "X-Zelir-Request";
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

// A browser names the page a request comes from; it must be one of this server's pages.
bool SameOrigin(const mg_connection* connection) {
    const char* origin = mg_get_header(connection, "Origin");
    const char* host = mg_get_header(connection, "Host");
    return origin == nullptr ||
           (host != nullptr && std::string(origin) == std::string("http://") + host);
}

int Respond(mg_connection* connection, int status, const std::string& json) {
    mg_printf(connection,
              "HTTP/1.1 %d %s\r\nContent-Type: application/json\r\nContent-Length: %zu\r\n"
              "Cache-Control: no-store\r\n\r\n%s",
              status, mg_get_response_code_text(connection, status), json.size(), json.c_str());
    return status;
}

// The body of a control request, at most kMaxControlBytes; nullopt (with the reply sent)
// otherwise.
std::optional<std::string> ReadSmallBody(mg_connection* connection) {
    const long long length = mg_get_request_info(connection)->content_length;
    if (length < 0 || length > static_cast<long long>(kMaxControlBytes)) {
        Respond(connection, 413,
                Reply("error", "a control action is at most " + std::to_string(kMaxControlBytes) +
                                   " bytes"));
        return std::nullopt;
    }
    std::string body(static_cast<size_t>(length), '\0');
    size_t done = 0;
    while (done < body.size()) {
        const int got = mg_read(connection, body.data() + done, body.size() - done);
        if (got <= 0) {
            Respond(connection, 400, Reply("error", "the request ended early"));
            return std::nullopt;
        }
        done += static_cast<size_t>(got);
    }
    return body;
}

bool ConstantTimeEqual(std::string_view a, std::string_view b) {
    unsigned char difference = a.size() == b.size() ? 0 : 1;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) difference |= a[i] ^ b[i];
    return difference == 0;
}

}  // namespace

bool IsIpv4Address(const std::string& address) {
    in_addr v4{};
    return inet_pton(AF_INET, address.c_str(), &v4) == 1;
}

bool IsLoopbackAddress(const std::string& address) {
    in_addr v4{};
    return inet_pton(AF_INET, address.c_str(), &v4) == 1 && (ntohl(v4.s_addr) >> 24) == 127;
}

ViewServer::ViewServer(ViewSource& source, FrameMailbox& mailbox, ViewServerOptions options)
    : source_(source), mailbox_(mailbox), options_(std::move(options)) {}

ViewServer::~ViewServer() {
    if (context_ == nullptr) return;
    // Pages are served on the server's threads: end them before the server waits for those.
    {
        std::lock_guard lock(clientsMutex_);
        stopping_ = true;
        for (auto& [id, client] : clients_) client->Stop();
    }
    mg_stop(context_);
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
                              "enable_keep_alive",
                              "yes",
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
    mg_set_websocket_handler(context_, "/frames$", OnConnect, OnReady, OnData, nullptr, this);
    mg_set_request_handler(context_, "/status$", OnStatus, this);
    mg_set_request_handler(context_, "/control$", OnControl, this);
    mg_set_request_handler(context_, "/drawn$", OnDrawn, this);
    mg_set_request_handler(context_, "/", OnPage, this);
    return true;
}

int ViewServer::OnPage(mg_connection* connection, void* self) {
    return Self(self).ServePage(connection);
}

int ViewServer::OnStatus(mg_connection* connection, void* self) {
    return Self(self).ServeStatus(connection);
}

int ViewServer::OnControl(mg_connection* connection, void* self) {
    return Self(self).ServeControl(connection);
}

int ViewServer::OnDrawn(mg_connection* connection, void* self) {
    return Self(self).ServeDrawn(connection);
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
              "Content-Security-Policy: default-src 'self'; img-src 'self' blob: data:\r\n\r\n",
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
    return Respond(connection, 200,
                   std::string("{\"source\":\"") + KindName(source_.Kind()) +
                       "\",\"width\":" + std::to_string(source_.Width()) +
                       ",\"height\":" + std::to_string(source_.Height()) +
                       ",\"clients\":" + std::to_string(clients) +
                       ",\"published\":" + std::to_string(mailbox_.Published()) +
                       ",\"token_needed\":" + (NeedsToken() ? "true" : "false") + "}");
}

// POST /control[?token=T] with the action as body, e.g. "palette 3".
int ViewServer::ServeControl(mg_connection* connection) {
    if (std::string_view(mg_get_request_info(connection)->request_method) != "POST" ||
        mg_get_header(connection, kRequestHeader) == nullptr || !SameOrigin(connection)) {
        return Respond(connection, 403, Reply("error", "not a request of this page"));
    }
    if (!HasToken(connection)) {
        return Respond(connection, 403,
                       Reply("error", "control needs the token printed at start-up"));
    }
    const auto text = ReadSmallBody(connection);
    if (!text) return 400;
    const auto control = ParseViewControl(*text);
    if (!control) return Respond(connection, 400, Reply("error", "unknown action: " + *text));
    std::string detail;
    const std::string refused = source_.Apply(*control, detail);
    if (!refused.empty()) return Respond(connection, 409, Reply("error", refused));
    return Respond(connection, 200,
                   detail.empty() ? Reply("done", *text) : Reply("recording", detail));
}

// POST /drawn?client=ID: the page has drawn a frame.
int ViewServer::ServeDrawn(mg_connection* connection) {
    const char* query = mg_get_request_info(connection)->query_string;
    char id[32] = "";
    if (mg_get_header(connection, kRequestHeader) == nullptr || !SameOrigin(connection) ||
        query == nullptr || mg_get_var(query, std::strlen(query), "client", id, sizeof(id)) <= 0) {
        return Respond(connection, 403, Reply("error", "not a request of this page"));
    }
    std::lock_guard lock(clientsMutex_);
    const auto found = clients_.find(id);
    if (found == clients_.end()) return Respond(connection, 404, Reply("error", "no such page"));
    found->second->Acknowledge();
    return Respond(connection, 200, "{}");
}

int ViewServer::OnConnect(const mg_connection* connection, void* self) {
    ViewServer& server = Self(self);
    // Another site's page in the same browser must not watch the camera.
    if (!SameOrigin(connection)) return 1;
    std::lock_guard lock(server.clientsMutex_);
    return !server.stopping_ && server.clients_.size() < kMaxClients ? 0 : 1;
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

std::string ViewServer::NewClientId() {
    std::lock_guard lock(clientsMutex_);
    return std::to_string(++clientCount_);
}

void ViewServer::OnReady(mg_connection* connection, void* self) {
    Self(self).ServeFrames(connection);
}

void ViewServer::ServeFrames(mg_connection* connection) {
    ViewClient client(connection, mailbox_, NewClientId());
    client.SendText(std::string("{\"source\":\"") + KindName(source_.Kind()) + "\",\"client\":\"" +
                    client.Id() + "\",\"control\":" + (HasToken(connection) ? "true" : "false") +
                    "}");
    {
        std::lock_guard lock(clientsMutex_);
        if (stopping_) return;
        clients_[client.Id()] = &client;
    }
    client.Run();
    std::lock_guard lock(clientsMutex_);
    clients_.erase(client.Id());
}

// Reached only after the page has gone (frames are sent on the connection's thread until
// then): whatever it sent last is dropped and the connection ends.
int ViewServer::OnData(mg_connection*, int, char*, size_t, void*) {
    return 0;
}

}  // namespace zelir_cli
