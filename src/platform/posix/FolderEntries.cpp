#include "platform/posix/FolderEntries.h"

#include <dirent.h>
#include <unistd.h>

namespace hv {

std::vector<std::string> FolderEntryNames(int folderFd) {
  std::vector<std::string> names;
  // The listing takes ownership of its descriptor, so it gets a copy of the caller's.
  const int listFd = folderFd >= 0 ? dup(folderFd) : -1;
  DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
  if (dir == nullptr) {
    if (listFd >= 0) {
      close(listFd);
    }
    return names;
  }
  // The copy shares the caller's position in the folder: a listing before this one left it
  // at the end.
  rewinddir(dir);
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") {
      names.push_back(name);
    }
  }
  closedir(dir);
  return names;
}

}  // namespace hv
