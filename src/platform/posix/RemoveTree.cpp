#include "platform/posix/RemoveTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/FolderEntries.h"

namespace hv {
namespace {

bool RemoveFolderAt(int dirFd, const std::string& name, const struct stat& info) {
  int folderFd = openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folderFd < 0 && errno == EACCES) {
    // A folder without read or search permission for its owner: give them back first.
    fchmodat(dirFd, name.c_str(), (info.st_mode | S_IRWXU) & 07777, AT_SYMLINK_NOFOLLOW);
    folderFd = openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  }
  if (folderFd < 0) {
    return false;
  }
  struct stat opened {};
  if (fstat(folderFd, &opened) != 0 || opened.st_dev != info.st_dev ||
      opened.st_ino != info.st_ino) {
    close(folderFd);  // replaced between the look and the open
    return false;
  }
  if ((opened.st_mode & S_IRWXU) != S_IRWXU) {
    fchmod(folderFd, opened.st_mode | S_IRWXU);  // entries of a read-only folder cannot go
  }
  for (const std::string& child : FolderEntryNames(folderFd)) {
    RemoveTreeAt(folderFd, child);
  }
  close(folderFd);
  return unlinkat(dirFd, name.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace

bool RemoveTreeAt(int dirFd, const std::string& name) {
  struct stat info {};
  if (fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT;
  }
  if (!S_ISDIR(info.st_mode)) {
    return unlinkat(dirFd, name.c_str(), 0) == 0 || errno == ENOENT;
  }
  struct stat parent {};
  if (fstat(dirFd, &parent) != 0 || parent.st_dev != info.st_dev) {
    return false;  // a mount point: what lies below belongs to another file system
  }
  return RemoveFolderAt(dirFd, name, info);
}

}  // namespace hv
