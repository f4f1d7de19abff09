#pragma once

#include <sys/types.h>

#include <string>

#include "platform/FileSystem.h"

namespace hv {

// A file open for writing through a POSIX descriptor, which it owns.
class PosixOpenFile : public OpenFile {
 public:
  // With a descriptor of the file's folder (which it then owns too), closing removes the
  // file's name from that folder; with -1 closing only closes.
  PosixOpenFile(int fd, int folderFd, std::string name);
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
  int folderFd_;
  std::string name_;
  bool syncEachWrite_ = false;  // set once direct I/O was refused at the first write
};

}  // namespace hv
