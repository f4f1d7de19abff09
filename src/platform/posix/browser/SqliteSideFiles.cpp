#include "platform/posix/browser/SqliteSideFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace hv {
namespace {

// Every connection of a database in write-ahead-log mode holds a shared lock on this byte
// of its "-shm" file for as long as it is open; whoever can lock it for writing is alone.
constexpr off_t kConnectionLockByte = 128;

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

bool IsEmptyFile(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0;
}

}  // namespace

SqliteSideFiles::SqliteSideFiles(std::string database)
    : database_(std::move(database)),
      hadSharedMemory_(Exists(database_ + "-shm")),
      hadLog_(Exists(database_ + "-wal")) {}

void SqliteSideFiles::RemoveThoseMadeSince() const {
  if (hadSharedMemory_) {
    return;  // another connection's, or the browser's own: not ours to remove
  }
  const std::string sharedMemory = database_ + "-shm";
  const int fd = open(sharedMemory.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    return;
  }
  struct flock alone {};
  alone.l_type = F_WRLCK;
  alone.l_whence = SEEK_SET;
  alone.l_start = kConnectionLockByte;
  alone.l_len = 1;
  // Removed while the lock is held, so a connection opening meanwhile waits and then makes
  // fresh files instead of sharing ones that are going.
  if (fcntl(fd, F_SETLK, &alone) == 0) {
    const std::string log = database_ + "-wal";
    if (!hadLog_ && IsEmptyFile(log)) {
      unlink(log.c_str());
    }
    unlink(sharedMemory.c_str());
  }
  close(fd);
}

}  // namespace hv
