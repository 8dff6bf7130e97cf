#include "stop_signals.h"

#include <csignal>

namespace zelir_cli {
namespace {

constexpr int kSignalExitBase = 128;
volatile std::sig_atomic_t gSignal = 0;
struct sigaction gPreviousInt {};
struct sigaction gPreviousTerm {};

void Note(int signal) {
    gSignal = signal;
}

}  // namespace

StopSignals::StopSignals() {
    gSignal = 0;
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &gPreviousInt);
    sigaction(SIGTERM, &action, &gPreviousTerm);
}

StopSignals::~StopSignals() {
    sigaction(SIGINT, &gPreviousInt, nullptr);
    sigaction(SIGTERM, &gPreviousTerm, nullptr);
}

bool StopSignals::Requested() {
    return gSignal != 0;
}

int StopSignals::ExitCode() {
    return kSignalExitBase + gSignal;
}

}  // namespace zelir_cli
