// What an operation inside the library came to. The core speaks only in these; the C interface
// turns them into its own return values (1/0, 0/-1, a handle or null) at the boundary.
#pragma once

namespace zelir {

enum class [[nodiscard]] Status{
    kOk = 0,
    kInvalidArgument,  // a null, empty or out-of-range input
    kNotOpen,          // the handle has no open source
    kNotFound,         // no camera, channel or record matches what was asked for
    kUnsupported,      // the source cannot do this (a file asked for a camera operation)
    kCannotOpen,       // a file, socket or capture could not be opened or created
    kIoError,          // a read or write did not complete
    kBadData,          // a file or reply holds data that do not fit what was asked for
    kTimeout,          // no answer before the deadline
    kCameraError,      // the camera answered with an error
};

// A short English description, e.g. "no source is open".
const char* StatusText(Status status);

}  // namespace zelir
