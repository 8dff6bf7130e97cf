// zelir view SRC [--port 8080] [--bind 127.0.0.1]: the source live in a browser page.
#include <cstdio>
#include <filesystem>
#include <random>

#include "commands.h"
#include "open_handle.h"
#include "recording_companion.h"
#include "stop_signals.h"
#include "view_server.h"
#include "view_source.h"

namespace zelir_cli {

namespace {

constexpr int64_t kDefaultPort = 8080;
constexpr int64_t kMaxPort = 65535;
constexpr int64_t kMaxMovieRate = 1000;

std::string NewToken() {
    std::random_device device;
    char text[33];
    for (int i = 0; i < 4; ++i) std::snprintf(text + 8 * i, 9, "%08x", device());
    return text;
}

}  // namespace

int RunView(const Args& args) {
    if (!CheckUsage(args, "view", 1, 1, {"port", "bind", "fps", "record-dir"})) return kExitUsage;
    const std::string& path = args.Positional()[0];
    const auto port =
        ParseInteger(args.Option("port").value_or(std::to_string(kDefaultPort)), 0, kMaxPort);
    if (!port) return Fail(kExitUsage, "view: --port takes 0..65535 (0: any free port)");
    ViewServerOptions options;
    options.bind = args.Option("bind").value_or(options.bind);
    if (!IsIpv4Address(options.bind)) {
        return Fail(kExitUsage, "view: --bind takes an IPv4 address (e.g. 0.0.0.0 for all)");
    }
    options.port = static_cast<int>(*port);
    options.token = NewToken();
    const auto fps = ParseInteger(args.Option("fps").value_or("0"), 0, kMaxMovieRate);
    if (!fps) return Fail(kExitUsage, "view: --fps takes 1..1000 (movies)");
    const std::filesystem::path recordDir = args.Option("record-dir").value_or(".");

    // Ctrl+C ends the view: the server and the handle close in order (a recording is finished).
    StopSignals signals;
    Handle handle = OpenOrExplain(path);
    if (!handle) return kExitFailure;
    // A movie plays round and round.
    ZelIr_SetCyclePlay(handle.get(), 1);
    FrameMailbox mailbox;
    // A movie plays at the rate it was recorded at unless --fps says otherwise.
    const double rate = *fps > 0 ? static_cast<double>(*fps) : RecordedRate(handle.get(), path);
    ViewSource source(handle.get(), rate, recordDir);
    std::string error;
    if (!source.Start(mailbox, error)) return Fail(kExitFailure, path + ": " + error);
    {
        ViewServer server(source, mailbox, options);
        if (!server.Start(error)) return Fail(kExitFailure, error);
        const std::string url =
            "http://" + options.bind + ":" + std::to_string(server.Port()) + "/";
        std::printf("zelir view: %s at %s\n", path.c_str(), url.c_str());
        if (server.NeedsToken()) {
            std::printf("zelir view: control token %s (open %s?token=%s to control)\n",
                        options.token.c_str(), url.c_str(), options.token.c_str());
        }
        std::printf("zelir view: Ctrl+C stops\n");
        std::fflush(stdout);
        StopSignals::Wait();
    }
    source.Stop();
    return kExitOk;
}

}  // namespace zelir_cli
