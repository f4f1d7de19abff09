#include "platform/posix/browser/CacheFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "clean/ReportSink.h"
#include "platform/posix/browser/CacheFileKey.h"
#include "util/ParallelWork.h"

namespace hv {
namespace {

// Cache folders are a few levels deep; anything deeper is not the browser's doing.
constexpr int kDeepestLevel = 8;

// Fewer files than this per thread are read faster than a thread starts.
constexpr size_t kFilesWorthAThread = 128;

// The kind of an entry, without following a link, and what stat tells of it.
unsigned char KindOf(int folderFd, const dirent& entry, struct stat& info) {
  if (fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return DT_UNKNOWN;
  }
  return S_ISREG(info.st_mode)   ? DT_REG
         : S_ISDIR(info.st_mode) ? DT_DIR
         : S_ISLNK(info.st_mode) ? DT_LNK
                                 : DT_UNKNOWN;
}

// Why an ordinary file could not be deleted, from the system's error.
std::string DeleteFailure(int error) {
  switch (error) {
    case ENOENT:
      return LeftReason::kVanished;
    case EACCES:
    case EPERM:
    case EROFS:
      return LeftReason::kPermissionDenied;
    case EBUSY:
      return LeftReason::kInUse;
    default:
      return std::strerror(error);
  }
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

// Names each file by the key in it, read on several threads when there are enough files
// to repay starting them: a cache folder holds thousands.
void CacheFolder::ReadKeys(int folderFd, size_t nameStart, std::vector<FoundFile>& files) {
  std::vector<size_t> unread;
  for (size_t index = 0; index < files.size(); ++index) {
    FoundFile& found = files[index];
    if (keys_ != nullptr) {
      found.key = keys_->Recall(found.path, found.inode);
    }
    if (!found.key) {
      unread.push_back(index);
    }
  }
  const size_t threads = std::min(ProcessorCount(), unread.size() / kFilesWorthAThread + 1);
  RunInParallel(unread.size(), threads, [&](size_t n) {
    FoundFile& found = files[unread[n]];
    found.key = ReadCacheFileKey(folderFd, found.path.c_str() + nameStart);
  });
  if (keys_ != nullptr) {
    for (const size_t index : unread) {
      if (files[index].key) {
        keys_->Remember(files[index].path, files[index].inode, *files[index].key);
      }
    }
  }
}

// Lists the open folder, folders_[folderIndex]: its files, then the folders in it that are
// on the cache folder's file system. A folder or file that vanishes while the walk runs is
// passed over.
void CacheFolder::ListFolder(NoFollowFolder folder, size_t folderIndex, const std::string& path,
                             int level, std::vector<Trace>& traces) {
  // The listing closes the descriptor it is given, so it gets one of its own.
  const int listFd = dup(folder.Fd());
  DIR* listing = listFd >= 0 ? fdopendir(listFd) : nullptr;
  if (listing == nullptr) {
    if (listFd >= 0) {
      close(listFd);
    }
    return;
  }
  std::vector<FoundFile> files;
  std::vector<std::string> folders;
  while (const dirent* entry = readdir(listing)) {
    if (IsDotOrDotDot(entry->d_name)) {
      continue;
    }
    struct stat info {};
    const unsigned char type = KindOf(folder.Fd(), *entry, info);
    if (type == DT_REG) {
      // A file of several names stays until its last goes: no one name stands for it.
      const FileIdentity identity =
          info.st_nlink == 1 ? FileIdentity{info.st_dev, info.st_ino} : FileIdentity{};
      files.push_back({path + "/" + entry->d_name, info.st_ino,
                       static_cast<uint64_t>(info.st_blocks) * 512, identity, std::nullopt});
    } else if (type == DT_DIR && level < kDeepestLevel) {
      folders.emplace_back(entry->d_name);
    } else if (type == DT_LNK) {
      std::string linkPath = path + "/" + entry->d_name;
      traces.push_back({linkPath, 0, linkPath, std::nullopt, {}, LeftReason::kLink});
    }
  }
  closedir(listing);
  ReadKeys(folder.Fd(), path.size() + 1, files);
  for (FoundFile& found : files) {
    std::string name = found.key ? std::move(*found.key) : found.path;
    traces.push_back({std::move(name),
                      static_cast<int64_t>(folderIndex),
                      std::move(found.path),
                      found.bytes,
                      {},
                      {},
                      found.identity});
  }
  for (const std::string& name : folders) {
    NoFollowFolder inner = folder.Open(name.c_str());
    struct stat info {};
    if (!inner.Stat(info)) {
      continue;  // gone since the listing
    }
    if (info.st_dev != device_) {
      std::string mountPath = path + "/" + name;
      traces.push_back({mountPath, 0, mountPath, std::nullopt, {}, LeftReason::kOtherFileSystem});
      continue;
    }
    folders_.push_back({folderIndex, name, info.st_ino});
    ListFolder(std::move(inner), folders_.size() - 1, path + "/" + name, level + 1, traces);
  }
}

void CacheFolder::List(std::vector<Trace>& traces) {
  struct stat info {};
  if (!root_.Stat(info)) {
    return;
  }
  device_ = info.st_dev;
  folders_ = {{0, "", info.st_ino}};
  reopened_ = NoFollowFolder();
  ListFolder(root_.Open("."), 0, path_, 0, traces);
}

int CacheFolder::ReopenListed(size_t index) {
  if (index == 0) {
    return root_.Fd();
  }
  if (reopened_.IsOpen() && reopenedIndex_ == index) {
    return reopened_.Fd();
  }
  std::vector<size_t> levels;
  for (size_t level = index; level != 0; level = folders_[level].parent) {
    levels.push_back(level);
  }
  NoFollowFolder folder = root_.Open(".");
  for (auto level = levels.rbegin(); level != levels.rend() && folder.IsOpen(); ++level) {
    folder = folder.Open(folders_[*level].name.c_str());
    struct stat info {};
    if (!folder.Stat(info) || info.st_dev != device_ || info.st_ino != folders_[*level].inode) {
      folder = NoFollowFolder();
    }
  }
  reopened_ = std::move(folder);
  reopenedIndex_ = index;
  return reopened_.Fd();
}

bool CacheFolder::Delete(const Trace& trace, std::string& reason) {
  if (trace.row < 0 || static_cast<size_t>(trace.row) >= folders_.size()) {
    reason = LeftReason::kVanished;
    return false;
  }
  const int folderFd = ReopenListed(static_cast<size_t>(trace.row));
  if (folderFd < 0) {
    reason = LeftReason::kRefusedFolder;  // gone, or swapped for a link or another folder
    return false;
  }
  const char* name = trace.file.c_str() + trace.file.rfind('/') + 1;
  struct stat info {};
  if (fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    reason = DeleteFailure(errno);
    return false;
  }
  // Only an ordinary file; a link or a folder put in its place is left alone.
  if (!S_ISREG(info.st_mode)) {
    reason = S_ISLNK(info.st_mode) ? LeftReason::kLink : LeftReason::kVanished;
    return false;
  }
  if (unlinkat(folderFd, name, 0) != 0) {
    reason = DeleteFailure(errno);
    return false;
  }
  return true;
}

}  // namespace hv
