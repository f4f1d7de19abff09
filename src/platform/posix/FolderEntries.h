#pragma once

#include <string>
#include <vector>

namespace hv {

// The names in the open folder folderFd, without "." and "..". The descriptor stays open
// and usable; a folder that cannot be listed gives no names.
std::vector<std::string> FolderEntryNames(int folderFd);

}  // namespace hv
