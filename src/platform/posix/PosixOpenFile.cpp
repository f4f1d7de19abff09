#include "platform/posix/PosixOpenFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace hv {

PosixOpenFile::PosixOpenFile(int fd, SharedDescriptor folder, std::string name,
                             const struct stat& opened)
    : fd_(fd),
      folder_(std::move(folder)),
      name_(std::move(name)),
      device_(opened.st_dev),
      inode_(opened.st_ino) {}

PosixOpenFile::~PosixOpenFile() {
  Close();
}

bool PosixOpenFile::Write(std::span<const std::byte> data) {
  if (fd_ < 0) {
    return false;
  }
  // Some file systems accept O_DIRECT at open and refuse the write itself: write the same
  // block again, synchronously, so that the data still reach the disk.
  const bool written =
      WriteAll(data) ? !syncEachWrite_ || fdatasync(fd_) == 0
                     : errno == EINVAL && DropDirectIo() && WriteAll(data) && fdatasync(fd_) == 0;
  if (written) {
    position_ += static_cast<off_t>(data.size());
  }
  return written;
}

// Writes at the position kept here rather than the descriptor's own, so that finding or
// restoring it never costs a call.
bool PosixOpenFile::WriteAll(std::span<const std::byte> data) {
  off_t at = position_;
  while (!data.empty()) {
    const ssize_t written = pwrite(fd_, data.data(), data.size(), at);
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
    at += written;
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
  if (fd_ < 0) {
    return false;
  }
  position_ = 0;
  return true;
}

bool PosixOpenFile::SetEndOfFile() {
  if (fd_ < 0) {
    return false;
  }
  // Emptying a file that is removed at close is left to the removal, which frees the same
  // blocks without a second change to the file system, unless another name still shows it.
  if (folder_ && position_ == 0) {
    cutAtRemoval_ = true;
    return true;
  }
  return ftruncate(fd_, position_) == 0;
}

bool PosixOpenFile::Close() {
  if (fd_ < 0) {
    return false;
  }
  // Unlinking before the close is what lets the name be checked against the descriptor.
  const bool removed = !folder_ || UnlinkIfStillOurs();
  const bool closed = close(fd_) == 0;
  fd_ = -1;
  folder_.reset();
  return removed && closed;
}

bool PosixOpenFile::UnlinkIfStillOurs() {
  struct stat named {};
  // The name may have been moved or replaced meanwhile: then it is not ours to remove, and
  // the file keeps what it holds.
  if (fstatat(*folder_, name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
      named.st_dev != device_ || named.st_ino != inode_) {
    return false;
  }
  const bool emptied = !cutAtRemoval_ || named.st_nlink <= 1 || ftruncate(fd_, 0) == 0;
  return emptied && unlinkat(*folder_, name_.c_str(), 0) == 0;
}

}  // namespace hv
