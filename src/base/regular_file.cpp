#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/debug_output.h"

namespace zelir {

int OpenRegularFile(const char* path) {
    if (path == nullptr) return -1;
    // Non-blocking, so that opening a FIFO returns at once and can be judged.
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        odprintf("%s is not a regular file\n", path);
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

UniqueFile OpenRegularStream(const char* path) {
    const int fd = OpenRegularFile(path);
    if (fd < 0) return nullptr;
    UniqueFile file{::fdopen(fd, "rb")};
    if (!file) ::close(fd);
    return file;
}

}  // namespace zelir
