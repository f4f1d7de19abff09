#include "platform/win32/Win32FileSystem.h"

#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <limits>

#include "platform/win32/Win32OpenFile.h"

namespace hv {
namespace {

constexpr DWORD kNoSharing = 0;
// The system reports a file with no other attribute as "normal" (0x80); the program's
// rules call that 0.
constexpr DWORD kSystemNormal = FILE_ATTRIBUTE_NORMAL;

std::string WithoutTrailingSeparator(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && (trimmed.back() == '\\' || trimmed.back() == '/') &&
         trimmed[trimmed.size() - 2] != ':') {
    trimmed.pop_back();
  }
  return trimmed;
}

// A wildcard would make the find calls match other names than the one asked for.
bool HasWildcard(const std::string& path) {
  return path.find_first_of("*?") != std::string::npos;
}

std::optional<DWORD> RawAttributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(WithoutTrailingSeparator(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return std::nullopt;
  }
  return attributes;
}

uint32_t ProgramAttributes(DWORD attributes) {
  return attributes & ~kSystemNormal;
}

bool IsOrdinaryFile(const std::string& path) {
  const auto attributes = RawAttributes(path);
  return attributes &&
         (*attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

}  // namespace

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

bool Win32FileSystem::CanOpenExclusively(const std::string& path) {
  if (!IsOrdinaryFile(path)) {
    return false;
  }
  // The right to delete, with no sharing: refused while anyone else has the file open.
  const HANDLE probe = CreateFileA(path.c_str(), DELETE, kNoSharing, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    return false;
  }
  CloseHandle(probe);
  return true;
}

std::unique_ptr<OpenFile> Win32FileSystem::OpenForWriting(const std::string& path, WriteMode mode) {
  if (!IsOrdinaryFile(path)) {
    return nullptr;
  }
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, kNoSharing, nullptr, OPEN_EXISTING,
                                    CreateFlagsOf(mode) | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  return std::make_unique<Win32OpenFile>(handle);
}

uint32_t Win32FileSystem::SectorSize(const std::string& path) {
  // The volume root is the path's first three characters ("C:\"); a network path has
  // none, and the caller then falls back to its own block size.
  if (path.size() < 3 || path[1] != ':' || (path[2] != '\\' && path[2] != '/')) {
    return 0;
  }
  const std::string root = path.substr(0, 2) + "\\";
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return 0;
  }
  return bytesPerSector;
}

std::optional<FolderEntry> Win32FileSystem::FindEntry(const std::string& path) {
  const std::string trimmed = WithoutTrailingSeparator(path);
  if (HasWildcard(trimmed)) {
    return std::nullopt;
  }
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(trimmed.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return std::nullopt;  // missing, or a volume root, which has no entry of its own
  }
  FindClose(search);
  return FolderEntry{found.cFileName, ProgramAttributes(found.dwFileAttributes)};
}

bool Win32FileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  constexpr uint32_t kChangeable = FileAttribute::kReadOnly | FileAttribute::kHidden |
                                   FileAttribute::kSystem | FileAttribute::kArchive;
  const DWORD wanted = attributes & kChangeable;
  return SetFileAttributesA(WithoutTrailingSeparator(path).c_str(),
                            wanted == 0 ? kSystemNormal : wanted);
}

std::optional<uint64_t> Win32FileSystem::FileLength(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return std::nullopt;
  }
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

size_t Win32FileSystem::ReadStart(const std::string& path, std::span<std::byte> buffer) {
  if (!IsOrdinaryFile(path)) {
    return 0;
  }
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return 0;
  }
  size_t total = 0;
  while (total < buffer.size()) {
    const DWORD wanted = static_cast<DWORD>(
        std::min<size_t>(buffer.size() - total, std::numeric_limits<DWORD>::max()));
    DWORD got = 0;
    if (!ReadFile(handle, buffer.data() + total, wanted, &got, nullptr) || got == 0) {
      break;
    }
    total += got;
  }
  CloseHandle(handle);
  return total;
}

std::vector<FolderEntry> Win32FileSystem::ListFolder(const std::string& path) {
  std::vector<FolderEntry> entries;
  if (path.empty() || HasWildcard(path)) {
    return entries;
  }
  const char last = path.back();
  const std::string pattern = path + (last == '\\' || last == '/' ? "*" : "\\*");
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return entries;
  }
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") {
      entries.push_back({name, ProgramAttributes(found.dwFileAttributes)});
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return entries;
}

bool Win32FileSystem::DeleteFile(const std::string& path) {
  const auto attributes = RawAttributes(path);
  if (!attributes) {
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  if ((*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool Win32FileSystem::RemoveFolder(const std::string& path) {
  return RemoveDirectoryA(WithoutTrailingSeparator(path).c_str());
}

FileSystem& NativeFileSystem() {
  static Win32FileSystem native;
  return native;
}

}  // namespace hv
