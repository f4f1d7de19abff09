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

// The kind of an entry, from the listing where the file system gives it, else from lstat.
unsigned char EntryType(int folderFd, const dirent& entry) {
  if (entry.d_type != DT_UNKNOWN) {
    return entry.d_type;
  }
  struct stat info {};
  if (fstatat(folderFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return DT_UNKNOWN;
  }
  return S_ISREG(info.st_mode) ? DT_REG : S_ISDIR(info.st_mode) ? DT_DIR : DT_UNKNOWN;
}

// Lists the folder open as folderFd (and takes the descriptor over). A folder or file
// that vanishes while the walk runs is passed over.
void ListFolder(int folderFd, const std::string& path, int level, std::vector<Trace>& traces) {
  DIR* folder = fdopendir(folderFd);
  if (folder == nullptr) {
    close(folderFd);
    return;
  }
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") {
      continue;
    }
    const std::string file = path + "/" + name;
    const unsigned char type = EntryType(dirfd(folder), *entry);
    if (type == DT_REG) {
      traces.push_back({ReadCacheFileKey(dirfd(folder), name.c_str()).value_or(file), 0, file});
    } else if (type == DT_DIR && level < kDeepestLevel) {
      const int inner =
          openat(dirfd(folder), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (inner >= 0) {
        ListFolder(inner, file, level + 1, traces);
      }
    }
  }
  closedir(folder);
}

}  // namespace

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
