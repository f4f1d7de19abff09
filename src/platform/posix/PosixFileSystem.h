#pragma once

#include "platform/FileSystem.h"

namespace hv {

// The file system of a POSIX system (Linux), reached through folders held open (see
// PosixFolder):
// - "no buffering" is O_DIRECT, replaced by synchronous writes where the file system
//   refuses it; "write-through" is O_SYNC;
// - "delete on close" unlinks the name when the handle closes, and only while the name
//   still refers to the inode that was written;
// - "held open by another process" is a write lease that cannot be taken or is broken;
// - attributes: read-only is a missing owner write bit, hidden a leading dot, system
//   anything other than a file, folder or link, and a link or a mount point is a
//   reparse point.
class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<Folder> OpenFolder(const std::string& path) override;

  // Opens name in the folder folderFd with the given open(2) flags; the one place a
  // descriptor for writing is made, so that tests can play a file system that refuses
  // some flags.
  virtual int OpenDescriptor(int folderFd, const std::string& name, int flags);
};

}  // namespace hv
