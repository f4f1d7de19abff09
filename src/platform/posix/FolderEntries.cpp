#include "platform/posix/FolderEntries.h"

#include <dirent.h>
#include <unistd.h>

#include <utility>

namespace hv {

std::vector<TypedName> TypedFolderEntries(int folderFd) {
  std::vector<TypedName> entries;
  // The listing takes ownership of its descriptor, so it gets a copy of the caller's.
  const int listFd = folderFd >= 0 ? dup(folderFd) : -1;
  DIR* dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
  if (dir == nullptr) {
    if (listFd >= 0) {
      close(listFd);
    }
    return entries;
  }
  // The copy shares the caller's position in the folder: a listing before this one left it
  // at the end.
  rewinddir(dir);
  while (const dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") {
      entries.push_back({std::move(name), entry->d_type});
    }
  }
  closedir(dir);
  return entries;
}

std::vector<std::string> FolderEntryNames(int folderFd) {
  std::vector<std::string> names;
  for (TypedName& entry : TypedFolderEntries(folderFd)) {
    names.push_back(std::move(entry.name));
  }
  return names;
}

}  // namespace hv
