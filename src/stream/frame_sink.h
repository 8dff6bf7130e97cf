// Where a stream's WriteRecordFrame sends the frames it is given: the movie recorder of the
// handle, which lives above the stream.
#pragma once

#include <cstdint>

class FrameSink {
  public:
    virtual ~FrameSink() = default;
    // Appends one frame (header bytes, then data bytes) when recording; returns the number of
    // frames recorded so far.
    virtual uint32_t WriteFrame(const void* header, uint32_t headerLength, const void* data,
                                uint32_t dataLength) = 0;
};
