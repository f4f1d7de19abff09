#include "platform/posix/CacheFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/CacheFileKey.h"

namespace hv {
namespace {

// Cache folders are a few levels deep; anything deeper is not the browser's doing.
constexpr int kDeepestLevel = 8;

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

std::optional<std::string> CacheFolder::KeyOf(int folderFd, const char* name,
                                              const std::string& path, ino_t inode) {
  return keys_ != nullptr ? keys_->KeyOf(folderFd, name, path, inode)
                          : ReadCacheFileKey(folderFd, name);
}

// Lists the folder open as folderFd (and takes the descriptor over). A folder or file
// that vanishes while the walk runs is passed over.
void CacheFolder::ListFolder(int folderFd, const std::string& path, int level,
                             std::vector<Trace>& traces) {
  DIR* folder = fdopendir(folderFd);
  if (folder == nullptr) {
    close(folderFd);
    return;
  }
  while (const dirent* entry = readdir(folder)) {
    if (IsDotOrDotDot(entry->d_name)) {
      continue;
    }
    std::string file = path + "/" + entry->d_name;
    ino_t inode = 0;
    const unsigned char type = EntryType(dirfd(folder), *entry, inode);
    if (type == DT_REG) {
      std::optional<std::string> key = KeyOf(dirfd(folder), entry->d_name, file, inode);
      std::string name = key ? std::move(*key) : file;
      traces.push_back({std::move(name), 0, std::move(file)});
    } else if (type == DT_DIR && level < kDeepestLevel) {
      const int inner =
          openat(dirfd(folder), entry->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (inner >= 0) {
        ListFolder(inner, file, level + 1, traces);
      }
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
