#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>

#include "platform/posix/PosixFolder.h"

namespace hv {

std::unique_ptr<Folder> PosixFileSystem::OpenFolder(const std::string& path) {
  return PosixFolder::Adopt(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC),
                            path, *this);
}

int PosixFileSystem::OpenDescriptor(int folderFd, const std::string& name, int flags) {
  return openat(folderFd, name.c_str(), flags);
}

FileSystem& NativeFileSystem() {
  static PosixFileSystem native;
  return native;
}

}  // namespace hv
