#pragma once

#include <string>
#include <utility>

#include "platform/FileSystem.h"

namespace hv {

// A folder reached by its path: every call names the entry by the folder's path and the
// name. Links and junctions are opened as themselves, never followed, and a subfolder that
// is either (a mounted volume is a junction too) is never entered.
class Win32Folder : public Folder {
 public:
  // path ends with a separator.
  explicit Win32Folder(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const override { return path_; }
  std::vector<FolderEntry> List() override;
  std::unique_ptr<Folder> OpenSubfolder(const std::string& name) override;
  std::optional<FolderEntry> FindEntry(const std::string& name) override;
  FileProbe Probe(const std::string& name) override;
  std::unique_ptr<OpenFile> OpenForWriting(const std::string& name, WriteMode mode) override;
  uint32_t SectorSize() override;
  bool SetAttributes(const std::string& name, uint32_t attributes) override;
  std::optional<uint64_t> FileLength(const std::string& name) override;
  size_t ReadStart(const std::string& name, std::span<std::byte> buffer) override;
  bool DeleteFile(const std::string& name) override;
  bool RemoveFolder(const std::string& name) override;

 private:
  // The full path of name; empty for a name that is not one entry of this folder.
  std::string Entry(const std::string& name) const;

  std::string path_;
};

}  // namespace hv
