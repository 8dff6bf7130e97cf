// MOVIE.irm.meta, the companion `zelir record` writes beside a movie: a text file with one line
// per movie frame, in order:
//   FRAME ARRIVAL_SECONDS FRAME_ID PARAMETER_LINE
// FRAME counts from 0, ARRIVAL_SECONDS is the time since the recording started when the frame
// reached the SDK, FRAME_ID is the camera's frame id and PARAMETER_LINE the frame's 100-byte
// parameter line in hex; both are "-" for a frame without a valid line. Lines starting with '#'
// are comments. Numbers are written the same in every locale.
#pragma once

#include <zelir/zelir.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "frame_queue.h"

namespace zelir_cli {

std::string CompanionPath(const std::string& movie);

class CompanionWriter {
  public:
    // Creates the file; false when it cannot be created.
    bool Open(const std::string& path);
    bool Append(const QueuedFrame& frame);
    // Flushes and closes; false when a write failed.
    bool Finish();
    ~CompanionWriter();

  private:
    std::FILE* file_ = nullptr;
    uint64_t frames_ = 0;
    bool failed_ = false;
};

struct CompanionFrame {
    double arrivalSeconds = 0;
    bool hasLine = false;
    std::array<uint8_t, kLineBytes> line{};
};

// The frames of a movie's companion; nullopt when there is none (or it cannot be read).
std::optional<std::vector<CompanionFrame>> ReadCompanion(const std::string& movie);
// Frames per second from the arrival times (first to last); 0 below two frames.
double ArrivalRate(const std::vector<CompanionFrame>& frames);
// The rate a movie was recorded at: from its companion's arrival times, else from its header's
// frame count and duration; 0 when neither tells (and for other sources).
double RecordedRate(ZelIrHandle handle, const std::string& path);

}  // namespace zelir_cli
