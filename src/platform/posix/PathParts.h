#pragma once

#include <string>

namespace hv {

// A path cut before its last component: the folder ("." when the path names none) and the
// name inside it (empty when the path ends with a separator).
struct PathParts {
  std::string folder;
  std::string name;
};

PathParts SplitPath(const std::string& path);

// Opens the folder that holds path's last component, for use with the *at calls; -1 when
// it cannot be opened.
int OpenContainingFolder(const PathParts& parts);

}  // namespace hv
