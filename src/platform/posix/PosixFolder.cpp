#include "platform/posix/PosixFolder.h"

#include <dirent.h>
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

uint32_t HiddenBit(const std::string& name) {
  return name.starts_with('.') ? kHidden : kNormal;
}

uint32_t AttributesOf(const struct statx& info, const std::string& name, const MountKey& folder) {
  uint32_t attributes = HiddenBit(name);
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

// The attributes the listing's type alone decides: those of files, links and everything
// that is neither. A file's read-only bit is left out, since a walk has no use for it; a
// folder needs a look of its own, for that bit and for its volume.
std::optional<uint32_t> AttributesOfType(unsigned char type, const std::string& name) {
  switch (type) {
    case DT_REG:
      return HiddenBit(name);
    case DT_LNK:
      return HiddenBit(name) | kReparsePoint;
    case DT_FIFO:
    case DT_CHR:
    case DT_BLK:
    case DT_SOCK:
      return HiddenBit(name) | kSystem;
    default:
      return std::nullopt;
  }
}

mode_t ModeWithAttributes(mode_t mode, uint32_t attributes) {
  return (attributes & kReadOnly) ? mode & ~S_IWUSR : mode | S_IWUSR;
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

// Why a file could not be opened to probe it, from the open's errno.
FileAccess AccessRefused(int error) {
  switch (error) {
    case ENOENT:
      return FileAccess::kMissing;
    case ELOOP:  // a link put in its place
    case ENXIO:  // neither a file nor anything an open may wait on
      return FileAccess::kNotAFile;
    case ETXTBSY:  // a program running from it
      return FileAccess::kInUse;
    default:
      return FileAccess::kDenied;
  }
}

// Whether the file opened as fd, after named was looked at, is that file and held by nobody
// else. Another file put in its place meanwhile is not the one that was asked for.
FileAccess AccessOfOpened(int fd, const struct stat& opened, const struct statx& named) {
  if (!S_ISREG(opened.st_mode) || opened.st_ino != named.stx_ino) {
    return FileAccess::kMissing;
  }
  return OpenElsewhere(fd) ? FileAccess::kInUse : FileAccess::kExclusive;
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
  for (TypedName& listed : TypedFolderEntries(fd_)) {
    if (const std::optional<uint32_t> attributes = AttributesOfType(listed.type, listed.name)) {
      entries.push_back({std::move(listed.name), *attributes, std::nullopt});
      continue;
    }
    struct statx entry {};
    if (StatEntry(fd_, listed.name, entry)) {  // an entry gone since the listing is passed over
      entries.push_back(EntryOf(std::move(listed.name), entry, mount_));
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

// The look before a file is opened to probe it: nothing but an ordinary file this user may
// remove is opened at all, so that a device or a pipe is never set off by the probe.
FileProbe PosixFolder::LookBeforeOpening(const std::string& name, struct statx& named) {
  if (!StatEntry(fd_, name, named)) {
    return {.access = FileAccess::kMissing};
  }
  const FileAccess access = !S_ISREG(named.stx_mode)    ? FileAccess::kNotAFile
                            : !MayUnlink(named.stx_uid) ? FileAccess::kDenied
                                                        : FileAccess::kExclusive;
  return {access, named.stx_blocks * kStatBlockSize};
}

FileProbe PosixFolder::Probe(const std::string& name) {
  struct statx named {};
  FileProbe probe = LookBeforeOpening(name, named);
  if (probe.access != FileAccess::kExclusive) {
    return probe;
  }
  struct stat opened {};
  const int fd = OpenEntryForReading(fd_, name, opened);
  if (fd < 0) {
    probe.access = AccessRefused(errno);
    return probe;
  }
  probe.access = AccessOfOpened(fd, opened, named);
  close(fd);
  return probe;
}

int PosixFolder::OpenForWritingFd(const std::string& name, WriteMode mode) {
  if (!IsOwnEntry(name)) {
    errno = ENOENT;
    return -1;
  }
  const int base = O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  const int sync = mode.writeThrough ? O_SYNC : 0;
  const int fd = files_.OpenDescriptor(fd_, name, base | sync | (mode.noBuffering ? O_DIRECT : 0));
  if (fd < 0 && errno == EINVAL && mode.noBuffering) {
    // A file system without direct I/O: write-through instead still gets the data to disk.
    return files_.OpenDescriptor(fd_, name, base | O_SYNC);
  }
  return fd;
}

std::unique_ptr<OpenFile> PosixFolder::WriteHandle(int fd, const std::string& name, WriteMode mode,
                                                   const struct stat& opened) {
  return std::make_unique<PosixOpenFile>(fd, mode.deleteOnClose ? descriptor_ : nullptr, name,
                                         opened);
}

std::unique_ptr<OpenFile> PosixFolder::OpenForWriting(const std::string& name, WriteMode mode) {
  const int fd = OpenForWritingFd(name, mode);
  if (fd < 0) {
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  return WriteHandle(fd, name, mode, info);
}

// The open for writing is the probe: the lease it takes keeps every other opener out until
// the file is closed, and no descriptor but this one is ever made. A file without its owner's
// write bit cannot be opened so before its mode changes, which waits for the probe's answer.
Folder::FileToErase PosixFolder::OpenToErase(const std::string& name, WriteMode mode) {
  struct statx named {};
  FileProbe probe = LookBeforeOpening(name, named);
  if (probe.access != FileAccess::kExclusive) {
    return {probe, nullptr};
  }
  if ((named.stx_mode & S_IWUSR) == 0) {
    return Folder::OpenToErase(name, mode);
  }
  const int fd = OpenForWritingFd(name, mode);
  if (fd < 0) {
    probe.access = AccessRefused(errno);
    return {probe, nullptr};
  }
  struct stat opened {};
  probe.access = fstat(fd, &opened) == 0 ? AccessOfOpened(fd, opened, named) : FileAccess::kMissing;
  if (probe.access != FileAccess::kExclusive) {
    close(fd);
    return {probe, nullptr};
  }
  return {probe, WriteHandle(fd, name, mode, opened)};
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
  const mode_t wanted = ModeWithAttributes(mode, attributes);
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
