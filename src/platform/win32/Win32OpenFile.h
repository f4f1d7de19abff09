#pragma once

#include "platform/win32/WindowsApi.h"

#include "platform/FileSystem.h"

namespace hv {

// A file open for writing through a handle, which it owns.
class Win32OpenFile : public OpenFile {
 public:
  explicit Win32OpenFile(HANDLE handle);
  ~Win32OpenFile() override;
  Win32OpenFile(const Win32OpenFile&) = delete;
  Win32OpenFile& operator=(const Win32OpenFile&) = delete;

  bool Write(std::span<const std::byte> data) override;
  bool Flush() override;
  bool SeekToStart() override;
  bool SetEndOfFile() override;
  bool Close() override;

 private:
  HANDLE handle_;
};

}  // namespace hv
