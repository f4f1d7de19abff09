#include "platform/win32/Win32Folder.h"

#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <limits>

#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32OpenFile.h"

namespace hv {
namespace {

constexpr DWORD kNoSharing = 0;
// The system reports a file with no other attribute as "normal" (0x80); the program's
// rules call that 0.
constexpr DWORD kSystemNormal = FILE_ATTRIBUTE_NORMAL;

std::optional<DWORD> RawAttributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    return std::nullopt;
  }
  return attributes;
}

uint32_t ProgramAttributes(DWORD attributes) {
  return attributes & ~kSystemNormal;
}

// The search data holds the length only; what the file takes up in clusters would cost a
// call per file.
uint64_t LengthOf(const WIN32_FIND_DATAA& found) {
  return (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
}

bool IsOrdinaryFile(const std::string& path) {
  const auto attributes = RawAttributes(path);
  return attributes &&
         (*attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

}  // namespace

std::string Win32Folder::Entry(const std::string& name) const {
  // A separator would leave the folder; a wildcard would make the find calls match other
  // names than the one asked for.
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of("\\/*?") != std::string::npos) {
    return {};
  }
  return path_ + name;
}

std::vector<FolderEntry> Win32Folder::List() {
  std::vector<FolderEntry> entries;
  if (path_.find_first_of("*?") != std::string::npos) {
    return entries;
  }
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA((path_ + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return entries;
  }
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") {
      entries.push_back({name, ProgramAttributes(found.dwFileAttributes), LengthOf(found)});
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return entries;
}

std::unique_ptr<Folder> Win32Folder::OpenSubfolder(const std::string& name) {
  const std::string path = Entry(name);
  const auto attributes = path.empty() ? std::nullopt : RawAttributes(path);
  if (!attributes || (*attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (*attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    return nullptr;
  }
  return std::make_unique<Win32Folder>(path + "\\");
}

std::optional<FolderEntry> Win32Folder::FindEntry(const std::string& name) {
  const std::string path = Entry(name);
  if (path.empty()) {
    return std::nullopt;
  }
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return std::nullopt;
  }
  FindClose(search);
  return FolderEntry{found.cFileName, ProgramAttributes(found.dwFileAttributes), LengthOf(found)};
}

FileProbe Win32Folder::Probe(const std::string& name) {
  const std::string path = Entry(name);
  if (path.empty() || !RawAttributes(path)) {
    return {FileAccess::kMissing};
  }
  if (!IsOrdinaryFile(path)) {
    return {FileAccess::kNotAFile};
  }
  // The right to delete, with no sharing: refused while anyone else has the file open.
  const HANDLE probe = CreateFileA(path.c_str(), DELETE, kNoSharing, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (probe == INVALID_HANDLE_VALUE) {
    switch (GetLastError()) {
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return {FileAccess::kInUse};
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
        return {FileAccess::kMissing};
      default:
        return {FileAccess::kDenied};
    }
  }
  CloseHandle(probe);
  return {FileAccess::kExclusive};
}

std::unique_ptr<OpenFile> Win32Folder::OpenForWriting(const std::string& name, WriteMode mode) {
  const std::string path = Entry(name);
  if (path.empty() || !IsOrdinaryFile(path)) {
    return nullptr;
  }
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, kNoSharing, nullptr, OPEN_EXISTING,
                                    CreateFlagsOf(mode) | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  return std::make_unique<Win32OpenFile>(handle);
}

uint32_t Win32Folder::SectorSize() {
  // The volume root is the path's first three characters ("C:\"); a network path has
  // none, and the caller then falls back to its own block size.
  if (path_.size() < 3 || path_[1] != ':' || (path_[2] != '\\' && path_[2] != '/')) {
    return 0;
  }
  const std::string root = path_.substr(0, 2) + "\\";
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

bool Win32Folder::SetAttributes(const std::string& name, uint32_t attributes) {
  constexpr uint32_t kChangeable = FileAttribute::kReadOnly | FileAttribute::kHidden |
                                   FileAttribute::kSystem | FileAttribute::kArchive;
  const std::string path = Entry(name);
  const DWORD wanted = attributes & kChangeable;
  return !path.empty() && SetFileAttributesA(path.c_str(), wanted == 0 ? kSystemNormal : wanted);
}

std::optional<uint64_t> Win32Folder::FileLength(const std::string& name) {
  const std::string path = Entry(name);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return std::nullopt;
  }
  return (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

size_t Win32Folder::ReadStart(const std::string& name, std::span<std::byte> buffer) {
  const std::string path = Entry(name);
  if (path.empty() || !IsOrdinaryFile(path)) {
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

bool Win32Folder::DeleteFile(const std::string& name) {
  const std::string path = Entry(name);
  if (path.empty()) {
    return false;
  }
  const auto attributes = RawAttributes(path);
  if (!attributes) {
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  if ((*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool Win32Folder::RemoveFolder(const std::string& name) {
  const std::string path = Entry(name);
  return !path.empty() && RemoveDirectoryA(path.c_str());
}

}  // namespace hv
