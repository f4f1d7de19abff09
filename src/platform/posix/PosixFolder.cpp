#include "platform/posix/PosixFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/FolderEntries.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixOpenFile.h"
#include "platform/posix/RegularFile.h"
#include "platform/posix/WriteLease.h"

namespace hv {
namespace {

using namespace FileAttribute;

constexpr unsigned kStatxWanted =
    STATX_TYPE | STATX_MODE | STATX_UID | STATX_INO | STATX_MNT_ID | STATX_BLOCKS | STATX_NLINK;
constexpr uint64_t kStatBlockSize = 512;  // the unit of stx_blocks, whatever the file system

MountKey MountOf(const struct statx& info) {
  const bool hasMountId = (info.stx_mask & STATX_MNT_ID) != 0;
  const uint64_t device = (uint64_t{info.stx_dev_major} << 32) | info.stx_dev_minor;
  return {hasMountId ? info.stx_mnt_id : 0, device};
}

// One component, which the *at calls cannot take anywhere but into the folder itself.
bool IsOwnEntry(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

bool StatEntry(int folderFd, const std::string& name, struct statx& info) {
  return IsOwnEntry(name) && statx(folderFd, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                                   kStatxWanted, &info) == 0;
}

bool StatOpen(int fd, struct statx& info) {
  return statx(fd, "", AT_EMPTY_PATH, kStatxWanted, &info) == 0;
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

FolderEntry EntryOf(std::string name, const struct statx& info, const MountKey& folder) {
  const uint32_t attributes = AttributesOf(info, name, folder);
  FolderEntry entry{std::move(name), attributes, info.stx_blocks * kStatBlockSize};
  // A file of several names stays until its last goes: no one name stands for it.
  if (S_ISREG(info.stx_mode) && info.stx_nlink == 1) {
    // Numbered as stat numbers devices, as every other store of the platform names them.
    entry.identity = {makedev(info.stx_dev_major, info.stx_dev_minor), info.stx_ino};
  }
  return entry;
}

// Only a single entry of the folder itself is ever opened.
int OpenEntryForReading(int folderFd, const std::string& name, struct stat& info) {
  return IsOwnEntry(name) ? OpenRegularForReading(folderFd, name.c_str(), info) : -1;
}

}  // namespace

std::unique_ptr<PosixFolder> PosixFolder::Adopt(int fd, std::string path, PosixFileSystem& files) {
  struct statx info {};
  if (fd >= 0 && StatOpen(fd, info) && S_ISDIR(info.stx_mode)) {
    if (!path.ends_with('/')) {
      path += '/';
    }
    return std::unique_ptr<PosixFolder>(new PosixFolder(
        fd, std::move(path), files, MountOf(info), info.stx_uid, (info.stx_mode & S_ISVTX) != 0));
  }
  if (fd >= 0) {
    close(fd);
  }
  return nullptr;
}

PosixFolder::PosixFolder(int fd, std::string path, PosixFileSystem& files, MountKey mount,
                         uid_t owner, bool sticky)
    : descriptor_(ShareDescriptor(fd)),
      fd_(fd),
      path_(std::move(path)),
      files_(files),
      mount_(mount),
      owner_(owner),
      sticky_(sticky) {}

std::vector<FolderEntry> PosixFolder::List() {
  std::vector<FolderEntry> entries;
  for (std::string& name : FolderEntryNames(fd_)) {
    struct statx entry {};
    if (StatEntry(fd_, name, entry)) {  // an entry gone since the listing is passed over
      entries.push_back(EntryOf(std::move(name), entry, mount_));
    }
  }
  return entries;
}

std::unique_ptr<Folder> PosixFolder::OpenSubfolder(const std::string& name) {
  if (!IsOwnEntry(name)) {
    return nullptr;
  }
  std::unique_ptr<PosixFolder> inner =
      Adopt(openat(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC),
            path_ + name, files_);
  if (inner && !(inner->mount_ == mount_)) {
    return nullptr;  // a mount point: what lies below belongs to another file system
  }
  return inner;
}

std::optional<FolderEntry> PosixFolder::FindEntry(const std::string& name) {
  struct statx entry {};
  if (!StatEntry(fd_, name, entry)) {
    return std::nullopt;
  }
  return EntryOf(name, entry, mount_);
}

// Whether this user may remove a name from the folder: the right to change it and, in a
// sticky folder, to own the file or the folder.
bool PosixFolder::MayUnlink(uid_t fileOwner) {
  if (!writable_) {
    writable_ = faccessat(fd_, ".", W_OK | X_OK, AT_EACCESS) == 0;
  }
  static const uid_t user = geteuid();  // the same for the whole run
  return *writable_ && (!sticky_ || user == 0 || fileOwner == user || owner_ == user);
}

FileAccess PosixFolder::ProbeAccess(const std::string& name) {
  struct statx named {};
  if (!StatEntry(fd_, name, named)) {
    return FileAccess::kMissing;
  }
  if (!S_ISREG(named.stx_mode)) {
    return FileAccess::kNotAFile;
  }
  if (!MayUnlink(named.stx_uid)) {
    return FileAccess::kDenied;
  }
  struct stat opened {};
  const int fd = OpenEntryForReading(fd_, name, opened);
  if (fd < 0) {
    return errno == ENOENT                    ? FileAccess::kMissing
           : errno == ELOOP || errno == ENXIO ? FileAccess::kNotAFile
                                              : FileAccess::kDenied;
  }
  // Another file put in its place since it was looked at is not the one that was asked for.
  const FileAccess access = opened.st_ino != named.stx_ino ? FileAccess::kMissing
                            : OpenElsewhere(fd)            ? FileAccess::kInUse
                                                           : FileAccess::kExclusive;
  close(fd);
  return access;
}

std::unique_ptr<OpenFile> PosixFolder::OpenForWriting(const std::string& name, WriteMode mode) {
  if (!IsOwnEntry(name)) {
    return nullptr;
  }
  const int base = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  const int sync = mode.writeThrough ? O_SYNC : 0;
  int fd = files_.OpenDescriptor(fd_, name, base | sync | (mode.noBuffering ? O_DIRECT : 0));
  if (fd < 0 && errno == EINVAL && mode.noBuffering) {
    // A file system without direct I/O: write-through instead still gets the data to disk.
    fd = files_.OpenDescriptor(fd_, name, base | O_SYNC);
  }
  if (fd < 0) {
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::make_unique<PosixOpenFile>(fd, mode.deleteOnClose ? descriptor_ : nullptr, name,
                                         info);
}

uint32_t PosixFolder::SectorSize() {
  struct statvfs volume {};
  if (fstatvfs(fd_, &volume) != 0) {
    return 0;
  }
  return static_cast<uint32_t>(volume.f_bsize);
}

bool PosixFolder::SetAttributes(const std::string& name, uint32_t attributes) {
  struct statx named {};
  if (!StatEntry(fd_, name, named)) {
    return false;
  }
  if (S_ISLNK(named.stx_mode)) {
    return true;  // a link has no attributes of its own to change
  }
  const mode_t mode = named.stx_mode;
  const mode_t wanted = (attributes & kReadOnly) ? mode & ~S_IWUSR : mode | S_IWUSR;
  if (wanted == mode) {
    return true;
  }
  struct stat opened {};
  const int fd = OpenEntryForReading(fd_, name, opened);
  if (fd < 0) {
    // Unreadable files and folders: change the mode by name, still never through a link.
    return fchmodat(fd_, name.c_str(), wanted & 07777, AT_SYMLINK_NOFOLLOW) == 0;
  }
  const bool changed = opened.st_ino == named.stx_ino && fchmod(fd, wanted & 07777) == 0;
  close(fd);
  return changed;
}

std::optional<uint64_t> PosixFolder::FileLength(const std::string& name) {
  struct stat info {};
  if (!IsOwnEntry(name) || fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  return static_cast<uint64_t>(info.st_size);
}

size_t PosixFolder::ReadStart(const std::string& name, std::span<std::byte> buffer) {
  struct stat info {};
  const int fd = OpenEntryForReading(fd_, name, info);
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

bool PosixFolder::DeleteFile(const std::string& name) {
  struct stat info {};
  if (!IsOwnEntry(name) ||
      (fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode))) {
    return false;
  }
  return unlinkat(fd_, name.c_str(), 0) == 0 || errno == ENOENT;
}

bool PosixFolder::RemoveFolder(const std::string& name) {
  return IsOwnEntry(name) && unlinkat(fd_, name.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace hv
