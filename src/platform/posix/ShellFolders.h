#pragma once

#include <string>
#include <vector>

namespace hv {

struct ShellFolder {
  std::string name;
  std::string path;
};

// The user's special folders as they are now, from the XDG base directories and
// user-dirs.dirs: AppData, Local AppData, Cache, then the user directories that are set
// (Desktop falls back to ~/Desktop). A user directory that is the home folder itself
// (one the user switched off) is left out, so nothing cleans the whole home folder by it.
std::vector<ShellFolder> CurrentShellFolders();

}  // namespace hv
