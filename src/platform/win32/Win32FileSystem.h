#pragma once

#include "platform/FileSystem.h"

namespace hv {

// The file system through the system's ANSI file calls. Links and junctions are opened
// as themselves, never followed.
class Win32FileSystem : public FileSystem {
 public:
  bool CanOpenExclusively(const std::string& path) override;
  std::unique_ptr<OpenFile> OpenForWriting(const std::string& path, WriteMode mode) override;
  uint32_t SectorSize(const std::string& path) override;
  std::optional<FolderEntry> FindEntry(const std::string& path) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  std::optional<uint64_t> FileLength(const std::string& path) override;
  size_t ReadStart(const std::string& path, std::span<std::byte> buffer) override;
  std::vector<FolderEntry> ListFolder(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
};

// The CreateFileA flags of a write mode.
uint32_t CreateFlagsOf(WriteMode mode);

}  // namespace hv
