// SIGINT and SIGTERM as a request to stop: a command polls it, finishes its files, stops the
// camera and prints its summary instead of dying half-way.
#pragma once

namespace zelir_cli {

// While one lives, SIGINT and SIGTERM only note the request; the previous handlers come back
// when it goes.
class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static bool Requested();
    // Returns once a stop was requested, whichever thread took the signal.
    static void Wait();
    // 128 + the signal's number, the exit code of a command it stopped early.
    static int ExitCode();
};

}  // namespace zelir_cli
