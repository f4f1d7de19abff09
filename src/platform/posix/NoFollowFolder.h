#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

namespace hv {

// An open folder (of the browser stores, of a trash), reached without following any link
// below the folder it started from: each level is opened relative to the one above it, so a folder
// swapped for a link on the way cannot lead anywhere else. The descriptor closes with the
// object.
class NoFollowFolder {
 public:
  NoFollowFolder() = default;
  ~NoFollowFolder();
  NoFollowFolder(NoFollowFolder&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  NoFollowFolder& operator=(NoFollowFolder&& other) noexcept;
  NoFollowFolder(const NoFollowFolder&) = delete;
  NoFollowFolder& operator=(const NoFollowFolder&) = delete;

  // A folder the user keeps things in (home, the cache folder): links on the way to it
  // are the user's own arrangement and are followed.
  static NoFollowFolder OpenBase(const std::string& path);
  // The folder at path, which must not itself be a link; links above it are followed.
  static NoFollowFolder OpenLast(const std::string& path);
  // The folder name directly in the open folder parentFd; not open when it is a link.
  static NoFollowFolder At(int parentFd, const char* name);

  // The folder name directly in this one; not open when it is a link or no folder.
  NoFollowFolder Open(const char* name) const;
  // The folder at relative below this one ('/' between the names), no level a link.
  NoFollowFolder OpenBelow(const std::string& relative) const;

  // The names of its entries, without "." and ".."; none when it cannot be listed.
  std::vector<std::string> Names() const;

  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // The folder's device and inode; false when they cannot be read.
  bool Stat(struct stat& info) const { return IsOpen() && fstat(fd_, &info) == 0; }

 private:
  explicit NoFollowFolder(int fd) : fd_(fd) {}

  int fd_ = -1;
};

}  // namespace hv
