#pragma once

#include <string>

namespace hv {

// Removes the entry name inside the open folder dirFd: a file or symlink is unlinked
// (a symlink is never followed), a folder is emptied and removed, even when read-only
// inside. Never enters another file system. Returns true when the entry is gone.
bool RemoveTreeAt(int dirFd, const std::string& name);

}  // namespace hv
