#include "platform/posix/PathParts.h"

#include <fcntl.h>

namespace hv {

PathParts SplitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    return {".", path};
  }
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

int OpenContainingFolder(const PathParts& parts) {
  return open(parts.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace hv
