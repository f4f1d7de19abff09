#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/WindowsApi.h"

#include "platform/win32/Win32Folder.h"

namespace hv {

uint32_t CreateFlagsOf(WriteMode mode) {
  uint32_t flags = 0;
  if (mode.noBuffering) {
    flags |= FILE_FLAG_NO_BUFFERING;
  }
  if (mode.writeThrough) {
    flags |= FILE_FLAG_WRITE_THROUGH;
  }
  if (mode.deleteOnClose) {
    flags |= FILE_FLAG_DELETE_ON_CLOSE;
  }
  return flags;
}

std::unique_ptr<Folder> Win32FileSystem::OpenFolder(const std::string& path) {
  // The system looks a folder up without its closing separator, but a drive's root only
  // with it.
  std::string folder = path;
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/') &&
         folder[folder.size() - 2] != ':') {
    folder.pop_back();
  }
  const DWORD attributes =
      folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return nullptr;
  }
  if (folder.back() != '\\' && folder.back() != '/') {
    folder += '\\';
  }
  return std::make_unique<Win32Folder>(folder);
}

FileSystem& NativeFileSystem() {
  static Win32FileSystem native;
  return native;
}

}  // namespace hv
