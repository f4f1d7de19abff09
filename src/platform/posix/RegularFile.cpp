#include "platform/posix/RegularFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace hv {

int OpenRegularForReading(int folderFd, const char* name, struct stat& info) {
  const int fd = openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
    close(fd);
    errno = ENXIO;  // tells a caller that asks why: not an ordinary file
    return -1;
  }
  return fd;
}

}  // namespace hv
