#include "platform/posix/CacheFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/posix/CacheFileKey.h"
#include "util/ParallelWork.h"

namespace hv {
namespace {

// Cache folders are a few levels deep; anything deeper is not the browser's doing.
constexpr int kDeepestLevel = 8;

// Fewer files than this per thread are read faster than a thread starts.
constexpr size_t kFilesWorthAThread = 128;

// The kind and inode of an entry, from the listing where the file system gives them,
// else from lstat.
unsigned char EntryType(int folderFd, const dirent& entry, ino_t& inode) {
  inode = entry.d_ino;
  if (entry.d_type != DT_UNKNOWN) {
    return entry.d_type;
  }
  struct stat info {};
  if (fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return DT_UNKNOWN;
  }
  inode = info.st_ino;
  return S_ISREG(info.st_mode) ? DT_REG : S_ISDIR(info.st_mode) ? DT_DIR : DT_UNKNOWN;
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

// Lists the folder open as folderFd (and takes the descriptor over): its files, then the
// folders in it. A folder or file that vanishes while the walk runs is passed over.
void CacheFolder::ListFolder(int folderFd, const std::string& path, int level,
                             std::vector<Trace>& traces) {
  DIR* folder = fdopendir(folderFd);
  if (folder == nullptr) {
    close(folderFd);
    return;
  }
  std::vector<FoundFile> files;
  std::vector<std::string> folders;
  while (const dirent* entry = readdir(folder)) {
    if (IsDotOrDotDot(entry->d_name)) {
      continue;
    }
    ino_t inode = 0;
    const unsigned char type = EntryType(dirfd(folder), *entry, inode);
    if (type == DT_REG) {
      files.push_back({path + "/" + entry->d_name, inode, std::nullopt});
    } else if (type == DT_DIR && level < kDeepestLevel) {
      folders.emplace_back(entry->d_name);
    }
  }
  ReadKeys(dirfd(folder), path.size() + 1, files);
  for (FoundFile& found : files) {
    std::string name = found.key ? std::move(*found.key) : found.path;
    traces.push_back({std::move(name), 0, std::move(found.path)});
  }
  for (const std::string& name : folders) {
    const int inner =
        openat(dirfd(folder), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (inner >= 0) {
      ListFolder(inner, path + "/" + name, level + 1, traces);
    }
  }
  closedir(folder);
}

void CacheFolder::List(std::vector<Trace>& traces) {
  const int folder = open(path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ListFolder(folder, path_, 0, traces);
  }
}

bool CacheFolder::Delete(const Trace& trace) {
  struct stat info {};
  // Only the ordinary file that was listed; a link put in its place is left alone.
  return lstat(trace.file.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         unlink(trace.file.c_str()) == 0;
}

}  // namespace hv
