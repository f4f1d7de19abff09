#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "platform/FileSystem.h"
#include "platform/posix/SharedDescriptor.h"

namespace hv {

// A file open for writing through a POSIX descriptor, which it owns.
class PosixOpenFile : public OpenFile {
 public:
  // With the file's folder, closing removes the name from it while the name still refers
  // to the opened file (opened, as fstat gave it); without one closing only closes.
  PosixOpenFile(int fd, SharedDescriptor folder, std::string name, const struct stat& opened);
  ~PosixOpenFile() override;
  PosixOpenFile(const PosixOpenFile&) = delete;
  PosixOpenFile& operator=(const PosixOpenFile&) = delete;

  bool Write(std::span<const std::byte> data) override;
  bool Flush() override;
  bool SeekToStart() override;
  bool SetEndOfFile() override;
  bool Close() override;

 private:
  bool WriteAll(std::span<const std::byte> data);
  bool DropDirectIo();
  bool UnlinkIfStillOurs();

  int fd_;
  SharedDescriptor folder_;
  std::string name_;
  dev_t device_;
  ino_t inode_;
  off_t position_ = 0;          // where the next write goes; a file is opened at its start
  bool syncEachWrite_ = false;  // set once direct I/O was refused at the first write
  bool cutAtRemoval_ = false;   // emptied when it is removed, where another name shows it
};

}  // namespace hv
