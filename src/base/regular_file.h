// Opening files that are read to their end: only regular files qualify.
#pragma once

#include "base/unique_file.h"

namespace zelir {

// A read-only descriptor of `path` when it names a regular file, else -1. A FIFO would block
// the open and a device such as /dev/zero never ends, so anything else is refused before a
// byte is read, with a debug message.
int OpenRegularFile(const char* path);
// The same as a stdio stream for reading; null when refused.
UniqueFile OpenRegularStream(const char* path);

}  // namespace zelir
