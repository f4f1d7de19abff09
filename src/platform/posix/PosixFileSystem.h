#pragma once

#include "platform/FileSystem.h"

namespace hv {

// The file system of a POSIX system (Linux):
// - "no buffering" is O_DIRECT, replaced by synchronous writes where the file system
//   refuses it; "write-through" is O_SYNC;
// - "delete on close" unlinks the name when the handle closes, and only while the name
//   still refers to the inode that was written;
// - "held open by another process" is a write lease that cannot be taken;
// - attributes: read-only is a missing owner write bit, hidden a leading dot, system
//   anything other than a file, folder or link, and a link or a mount point is a
//   reparse point.
class PosixFileSystem : public FileSystem {
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

 protected:
  // Opens path with the given open(2) flags; the one place a descriptor for writing is
  // made, so that tests can play a file system that refuses some flags.
  virtual int OpenDescriptor(const std::string& path, int flags);
};

}  // namespace hv
