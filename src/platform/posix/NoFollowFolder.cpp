#include "platform/posix/NoFollowFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace hv {

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

NoFollowFolder NoFollowFolder::Open(const char* name) const {
  if (!IsOpen()) {
    return {};
  }
  return NoFollowFolder(openat(fd_, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
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
