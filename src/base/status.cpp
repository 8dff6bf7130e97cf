#include "base/status.h"

namespace zelir {

const char* StatusText(Status status) {
    switch (status) {
        case Status::kOk:
            return "ok";
        case Status::kInvalidArgument:
            return "invalid argument";
        case Status::kNotOpen:
            return "no source is open";
        case Status::kNotFound:
            return "not found";
        case Status::kUnsupported:
            return "not supported by this source";
        case Status::kCannotOpen:
            return "cannot be opened";
        case Status::kIoError:
            return "read or write failed";
        case Status::kBadData:
            return "data do not fit";
        case Status::kTimeout:
            return "no answer in time";
        case Status::kCameraError:
            return "the camera reported an error";
    }
    return "unknown status";
}

}  // namespace zelir
