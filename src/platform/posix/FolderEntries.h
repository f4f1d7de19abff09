#pragma once

#include <string>
#include <vector>

namespace hv {

// A name in a folder with its type as the listing gives it (a DT_ value of dirent.h);
// DT_UNKNOWN where the file system does not tell.
struct TypedName {
  std::string name;
  unsigned char type;
};

// The names in the open folder folderFd, without "." and "..", with their types. The
// descriptor stays open and usable; a folder that cannot be listed gives no names.
std::vector<TypedName> TypedFolderEntries(int folderFd);

// The same names without their types.
std::vector<std::string> FolderEntryNames(int folderFd);

}  // namespace hv
