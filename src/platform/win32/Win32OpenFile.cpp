#include "platform/win32/Win32OpenFile.h"

#include <algorithm>
#include <limits>

namespace hv {

Win32OpenFile::Win32OpenFile(HANDLE handle) : handle_(handle) {}

Win32OpenFile::~Win32OpenFile() {
  Close();
}

bool Win32OpenFile::Write(std::span<const std::byte> data) {
  if (handle_ == INVALID_HANDLE_VALUE) {
    return false;
  }
  while (!data.empty()) {
    const DWORD chunk = static_cast<DWORD>(
        std::min<size_t>(data.size(), std::numeric_limits<DWORD>::max() & ~DWORD{0xFFFF}));
    DWORD written = 0;
    if (!WriteFile(handle_, data.data(), chunk, &written, nullptr) || written == 0) {
      return false;
    }
    data = data.subspan(written);
  }
  return true;
}

bool Win32OpenFile::Flush() {
  return handle_ != INVALID_HANDLE_VALUE && FlushFileBuffers(handle_);
}

bool Win32OpenFile::SeekToStart() {
  return handle_ != INVALID_HANDLE_VALUE &&
         SetFilePointer(handle_, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

bool Win32OpenFile::SetEndOfFile() {
  return handle_ != INVALID_HANDLE_VALUE && ::SetEndOfFile(handle_);
}

bool Win32OpenFile::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) {
    return false;
  }
  const bool closed = CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  return closed;
}

}  // namespace hv
