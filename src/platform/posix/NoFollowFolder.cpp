#include "platform/posix/NoFollowFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix/FolderEntries.h"

namespace hv {
namespace {

// Non-blocking, so that a FIFO put in a folder's place cannot hang the open.
constexpr int kNoFollowFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

}  // namespace

NoFollowFolder::~NoFollowFolder() {
  if (fd_ >= 0) {
    close(fd_);
  }
}

NoFollowFolder& NoFollowFolder::operator=(NoFollowFolder&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) {
      close(fd_);
    }
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

NoFollowFolder NoFollowFolder::OpenBase(const std::string& path) {
  return path.empty() ? NoFollowFolder()
                      : NoFollowFolder(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

NoFollowFolder NoFollowFolder::OpenLast(const std::string& path) {
  return NoFollowFolder(open(path.c_str(), kNoFollowFlags));
}

NoFollowFolder NoFollowFolder::At(int parentFd, const char* name) {
  return parentFd < 0 ? NoFollowFolder() : NoFollowFolder(openat(parentFd, name, kNoFollowFlags));
}

NoFollowFolder NoFollowFolder::Open(const char* name) const {
  return At(fd_, name);
}

std::vector<std::string> NoFollowFolder::Names() const {
  return IsOpen() ? FolderEntryNames(fd_) : std::vector<std::string>();
}

NoFollowFolder NoFollowFolder::OpenBelow(const std::string& relative) const {
  NoFollowFolder folder = Open(".");
  size_t start = 0;
  while (folder.IsOpen() && start < relative.size()) {
    const size_t end = std::min(relative.find('/', start), relative.size());
    if (end > start) {
      folder = folder.Open(relative.substr(start, end - start).c_str());
    }
    start = end + 1;
  }
  return folder;
}

}  // namespace hv
