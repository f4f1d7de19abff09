#include "platform/posix/PosixOpenFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix/PathParts.h"

namespace hv {

PosixOpenFile::PosixOpenFile(int fd, std::string path, bool deleteOnClose)
    : fd_(fd), path_(std::move(path)), deleteOnClose_(deleteOnClose) {}

PosixOpenFile::~PosixOpenFile() {
  Close();
}

bool PosixOpenFile::Write(std::span<const std::byte> data) {
  if (fd_ < 0) {
    return false;
  }
  const off_t start = lseek(fd_, 0, SEEK_CUR);
  if (WriteAll(data)) {
    return !syncEachWrite_ || fdatasync(fd_) == 0;
  }
  // Some file systems accept O_DIRECT at open and refuse the write itself: write the same
  // block again, synchronously, so that the data still reach the disk.
  if (errno != EINVAL || !DropDirectIo() || lseek(fd_, start, SEEK_SET) != start) {
    return false;
  }
  return WriteAll(data) && fdatasync(fd_) == 0;
}

bool PosixOpenFile::WriteAll(std::span<const std::byte> data) {
  while (!data.empty()) {
    const ssize_t written = write(fd_, data.data(), data.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      if (written == 0) {
        errno = EIO;
      }
      return false;
    }
    data = data.subspan(static_cast<size_t>(written));
  }
  return true;
}

bool PosixOpenFile::DropDirectIo() {
  const int flags = fcntl(fd_, F_GETFL);
  if (flags < 0 || (flags & O_DIRECT) == 0 || fcntl(fd_, F_SETFL, flags & ~O_DIRECT) != 0) {
    return false;
  }
  syncEachWrite_ = true;
  return true;
}

bool PosixOpenFile::Flush() {
  return fd_ >= 0 && fsync(fd_) == 0;
}

bool PosixOpenFile::SeekToStart() {
  return fd_ >= 0 && lseek(fd_, 0, SEEK_SET) == 0;
}

bool PosixOpenFile::SetEndOfFile() {
  if (fd_ < 0) {
    return false;
  }
  const off_t position = lseek(fd_, 0, SEEK_CUR);
  return position >= 0 && ftruncate(fd_, position) == 0;
}

bool PosixOpenFile::Close() {
  if (fd_ < 0) {
    return false;
  }
  // Unlinking before the close is what lets the name be checked against the descriptor.
  const bool removed = !deleteOnClose_ || UnlinkIfStillOurs();
  const bool closed = close(fd_) == 0;
  fd_ = -1;
  return removed && closed;
}

bool PosixOpenFile::UnlinkIfStillOurs() {
  const PathParts parts = SplitPath(path_);
  struct stat written {};
  if (fstat(fd_, &written) != 0) {
    return false;
  }
  const int folderFd = OpenContainingFolder(parts);
  if (folderFd < 0) {
    return false;
  }
  struct stat named {};
  bool removed = false;
  // The name may have been moved or replaced meanwhile: then it is not ours to remove.
  if (fstatat(folderFd, parts.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      named.st_dev == written.st_dev && named.st_ino == written.st_ino) {
    removed = unlinkat(folderFd, parts.name.c_str(), 0) == 0;
  }
  close(folderFd);
  return removed;
}

}  // namespace hv
