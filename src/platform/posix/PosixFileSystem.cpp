#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/FolderEntries.h"
#include "platform/posix/PathParts.h"
#include "platform/posix/PosixOpenFile.h"
#include "platform/posix/WriteLease.h"

namespace hv {
namespace {

using namespace FileAttribute;

constexpr unsigned kStatxWanted = STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO | STATX_MNT_ID;

// Which mounted file system an entry lies on: the mount id where the kernel gives one
// (it tells bind mounts apart too), the device otherwise.
struct MountKey {
  uint64_t mount = 0;
  uint64_t device = 0;
  bool operator==(const MountKey&) const = default;
};

MountKey MountOf(const struct statx& info) {
  const bool hasMountId = (info.stx_mask & STATX_MNT_ID) != 0;
  const uint64_t device = (uint64_t{info.stx_dev_major} << 32) | info.stx_dev_minor;
  return {hasMountId ? info.stx_mnt_id : 0, device};
}

bool StatEntry(int folderFd, const std::string& name, struct statx& info) {
  return statx(folderFd, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatxWanted,
               &info) == 0;
}

bool StatFolder(int folderFd, struct statx& info) {
  return statx(folderFd, "", AT_EMPTY_PATH, kStatxWanted, &info) == 0;
}

uint32_t AttributesOf(const struct statx& info, const std::string& name, const MountKey& folder) {
  uint32_t attributes = name.starts_with('.') ? kHidden : kNormal;
  const mode_t mode = info.stx_mode;
  if (S_ISLNK(mode)) {
    return attributes | kReparsePoint;
  }
  if (!S_ISDIR(mode) && !S_ISREG(mode)) {
    return attributes | kSystem;
  }
  if ((mode & S_IWUSR) == 0) {
    attributes |= kReadOnly;
  }
  if (S_ISDIR(mode)) {
    attributes |= kDirectory;
    if (!(MountOf(info) == folder)) {
      attributes |= kReparsePoint;  // another file system is mounted here
    }
  }
  return attributes;
}

std::string WithoutTrailingSlash(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') {
    trimmed.pop_back();
  }
  return trimmed;
}

// Opens path read-only without following a link and without waiting on a device or pipe;
// -1 unless it is an ordinary file.
int OpenRegularForReading(const std::string& path, struct stat& info) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0 && (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
    close(fd);
    return -1;
  }
  return fd;
}

// Whether this user may remove the name path from its folder.
bool MayUnlink(const std::string& path, const struct stat& file) {
  const PathParts parts = SplitPath(path);
  struct stat folder {};
  if (stat(parts.folder.c_str(), &folder) != 0 ||
      faccessat(AT_FDCWD, parts.folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    return false;
  }
  const uid_t user = geteuid();
  const bool sticky = (folder.st_mode & S_ISVTX) != 0;
  return !sticky || user == 0 || file.st_uid == user || folder.st_uid == user;
}

}  // namespace

bool PosixFileSystem::CanOpenExclusively(const std::string& path) {
  struct stat named {};
  if (lstat(path.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || !MayUnlink(path, named)) {
    return false;
  }
  struct stat opened {};
  const int fd = OpenRegularForReading(path, opened);
  if (fd < 0) {
    return false;
  }
  const bool exclusive =
      opened.st_dev == named.st_dev && opened.st_ino == named.st_ino && !OpenElsewhere(fd);
  close(fd);
  return exclusive;
}

int PosixFileSystem::OpenDescriptor(const std::string& path, int flags) {
  return open(path.c_str(), flags);
}

std::unique_ptr<OpenFile> PosixFileSystem::OpenForWriting(const std::string& path, WriteMode mode) {
  const int base = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  const int sync = mode.writeThrough ? O_SYNC : 0;
  int fd = OpenDescriptor(path, base | sync | (mode.noBuffering ? O_DIRECT : 0));
  if (fd < 0 && errno == EINVAL && mode.noBuffering) {
    // A file system without direct I/O: write-through instead still gets the data to disk.
    fd = OpenDescriptor(path, base | O_SYNC);
  }
  if (fd < 0) {
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixOpenFile>(fd, path, mode.deleteOnClose);
}

uint32_t PosixFileSystem::SectorSize(const std::string& path) {
  struct statvfs volume {};
  if (statvfs(path.c_str(), &volume) != 0) {
    return 0;
  }
  return static_cast<uint32_t>(volume.f_bsize);
}

std::optional<FolderEntry> PosixFileSystem::FindEntry(const std::string& path) {
  const std::string trimmed = WithoutTrailingSlash(path);
  const PathParts parts = SplitPath(trimmed);
  struct statx entry {};
  if (parts.name.empty() || !StatEntry(AT_FDCWD, trimmed, entry)) {
    return std::nullopt;
  }
  MountKey folder = MountOf(entry);
  if (S_ISDIR(entry.stx_mode)) {
    struct statx container {};
    if (statx(AT_FDCWD, parts.folder.c_str(), 0, kStatxWanted, &container) != 0) {
      return std::nullopt;
    }
    folder = MountOf(container);
  }
  return FolderEntry{parts.name, AttributesOf(entry, parts.name, folder)};
}

bool PosixFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  struct stat named {};
  if (lstat(path.c_str(), &named) != 0) {
    return false;
  }
  if (S_ISLNK(named.st_mode)) {
    return true;  // a link has no attributes of its own to change
  }
  const mode_t wanted =
      (attributes & kReadOnly) ? named.st_mode & ~S_IWUSR : named.st_mode | S_IWUSR;
  if (wanted == named.st_mode) {
    return true;
  }
  struct stat opened {};
  const int fd = OpenRegularForReading(path, opened);
  if (fd < 0) {
    // Unreadable files and folders: change the mode by name, still never through a link.
    return fchmodat(AT_FDCWD, path.c_str(), wanted & 07777, AT_SYMLINK_NOFOLLOW) == 0;
  }
  const bool changed = opened.st_ino == named.st_ino && fchmod(fd, wanted & 07777) == 0;
  close(fd);
  return changed;
}

std::optional<uint64_t> PosixFileSystem::FileLength(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  return static_cast<uint64_t>(info.st_size);
}

size_t PosixFileSystem::ReadStart(const std::string& path, std::span<std::byte> buffer) {
  struct stat info {};
  const int fd = OpenRegularForReading(path, info);
  if (fd < 0) {
    return 0;
  }
  size_t total = 0;
  while (total < buffer.size()) {
    const ssize_t got = read(fd, buffer.data() + total, buffer.size() - total);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      break;
    }
    total += static_cast<size_t>(got);
  }
  close(fd);
  return total;
}

std::vector<FolderEntry> PosixFileSystem::ListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  const int folderFd =
      open(WithoutTrailingSlash(path).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  struct statx folder {};
  if (folderFd < 0) {
    return entries;
  }
  if (StatFolder(folderFd, folder)) {
    const MountKey folderMount = MountOf(folder);
    for (std::string& name : FolderEntryNames(folderFd)) {
      struct statx entry {};
      if (StatEntry(folderFd, name, entry)) {  // an entry gone since the listing is passed over
        const uint32_t attributes = AttributesOf(entry, name, folderMount);
        entries.push_back({std::move(name), attributes});
      }
    }
  }
  close(folderFd);
  return entries;
}

bool PosixFileSystem::DeleteFile(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return false;
  }
  return unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool PosixFileSystem::RemoveFolder(const std::string& path) {
  return rmdir(WithoutTrailingSlash(path).c_str()) == 0;
}

FileSystem& NativeFileSystem() {
  static PosixFileSystem native;
  return native;
}

}  // namespace hv
