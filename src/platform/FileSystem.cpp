#include "platform/FileSystem.h"

#include <string_view>

namespace hv {
namespace {

#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/";
#else
constexpr std::string_view kSeparators = "/";
#endif

}  // namespace

FolderAndName OpenFolderOf(FileSystem& files, const std::string& path) {
  const size_t end = path.find_last_not_of(kSeparators);
  if (end == std::string::npos) {
    return {};  // empty, or a root folder, which no folder holds
  }
  const std::string trimmed = path.substr(0, end + 1);
  const size_t separator = trimmed.find_last_of(kSeparators);
  if (separator == std::string::npos) {
    return {files.OpenFolder("."), trimmed};
  }
  return {files.OpenFolder(trimmed.substr(0, separator + 1)), trimmed.substr(separator + 1)};
}

bool FileSystem::CanOpenExclusively(const std::string& path) {
  const FolderAndName at = OpenFolderOf(*this, path);
  return at.folder && at.folder->CanOpenExclusively(at.name);
}

std::optional<FolderEntry> FileSystem::FindEntry(const std::string& path) {
  const FolderAndName at = OpenFolderOf(*this, path);
  return at.folder ? at.folder->FindEntry(at.name) : std::nullopt;
}

bool FileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  const FolderAndName at = OpenFolderOf(*this, path);
  return at.folder && at.folder->SetAttributes(at.name, attributes);
}

bool FileSystem::DeleteFile(const std::string& path) {
  const FolderAndName at = OpenFolderOf(*this, path);
  return at.folder && at.folder->DeleteFile(at.name);
}

Folder::FileToErase Folder::OpenToErase(const std::string& name, WriteMode mode) {
  FileProbe probe = Probe(name);
  if (probe.access != FileAccess::kExclusive) {
    return {probe, nullptr};
  }
  if (!SetAttributes(name, FileAttribute::kNormal)) {
    probe.access = FileAccess::kDenied;
    return {probe, nullptr};
  }
  return {probe, OpenForWriting(name, mode)};
}

std::vector<FolderEntry> FileSystem::ListFolder(const std::string& path) {
  const std::unique_ptr<Folder> folder = OpenFolder(path);
  return folder ? folder->List() : std::vector<FolderEntry>{};
}

}  // namespace hv
