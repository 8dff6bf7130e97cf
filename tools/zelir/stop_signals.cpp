#include "stop_signals.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

namespace zelir_cli {
namespace {

constexpr int kSignalExitBase = 128;
constexpr auto kWaitPoll = std::chrono::milliseconds(50);
// Lock-free, so the handler may set it and any thread read it.
std::atomic<int> gSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);
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

void StopSignals::Wait() {
    while (!Requested()) std::this_thread::sleep_for(kWaitPoll);
}

int StopSignals::ExitCode() {
    return kSignalExitBase + gSignal;
}

}  // namespace zelir_cli
