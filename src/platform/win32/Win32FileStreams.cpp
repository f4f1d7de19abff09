#include "platform/win32/Win32FileStreams.h"

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include "platform/win32/WindowsApi.h"

namespace hv {
namespace {

constexpr DWORD kLargestPiece = std::numeric_limits<DWORD>::max() & ~DWORD{0xFFFF};

class Win32InputStream : public InputStream {
 public:
  Win32InputStream(HANDLE handle, uint64_t length) : handle_(handle), length_(length) {}
  ~Win32InputStream() override { CloseHandle(handle_); }
  Win32InputStream(const Win32InputStream&) = delete;
  Win32InputStream& operator=(const Win32InputStream&) = delete;

  uint64_t Length() const override { return length_; }

  std::optional<size_t> Read(std::span<std::byte> buffer) override {
    DWORD count = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(buffer.size(), kLargestPiece));
    if (!ReadFile(handle_, buffer.data(), wanted, &count, nullptr)) {
      return std::nullopt;
    }
    return count;
  }

 private:
  HANDLE handle_;
  uint64_t length_;
};

// The folder part of a path, with its separator; empty for a name in the current folder.
std::string FolderOf(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// Windows cannot write a file without a name, so a new file is staged under a name of its
// own, visible to the user and to every cleaning item, and held without sharing while it is
// written. One that nobody holds was left by a crash or a kill.
constexpr const char* kStagedPrefix = "~hushvault-staged-";
constexpr int kNameAttempts = 100;

void SweepAbandonedStagedFiles(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA((folder + kStagedPrefix + '*').c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    return;
  }
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
      // Refused while the staging that owns it still has it open.
      DeleteFileA((folder + found.cFileName).c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

class Win32StagedFile : public StagedFile {
 public:
  Win32StagedFile(HANDLE handle, std::string tempPath, std::string finalPath)
      : handle_(handle), tempPath_(std::move(tempPath)), finalPath_(std::move(finalPath)) {}

  ~Win32StagedFile() override { Discard(); }
  Win32StagedFile(const Win32StagedFile&) = delete;
  Win32StagedFile& operator=(const Win32StagedFile&) = delete;

  bool Write(std::span<const std::byte> data) override {
    while (handle_ != INVALID_HANDLE_VALUE && !data.empty()) {
      const DWORD piece = static_cast<DWORD>(std::min<size_t>(data.size(), kLargestPiece));
      DWORD written = 0;
      if (!WriteFile(handle_, data.data(), piece, &written, nullptr) || written == 0) {
        return false;
      }
      data = data.subspan(written);
    }
    return handle_ != INVALID_HANDLE_VALUE;
  }

  bool Commit() override {
    if (handle_ == INVALID_HANDLE_VALUE) {
      return false;
    }
    const bool flushed = FlushFileBuffers(handle_);
    const bool closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    if (!flushed || !closed ||
        !MoveFileExA(tempPath_.c_str(), finalPath_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      Discard();
      return false;
    }
    tempPath_.clear();
    return true;
  }

 private:
  void Discard() {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
      handle_ = INVALID_HANDLE_VALUE;
    }
    if (!tempPath_.empty()) {
      DeleteFileA(tempPath_.c_str());
      tempPath_.clear();
    }
  }

  HANDLE handle_;
  std::string tempPath_;
  std::string finalPath_;
};

}  // namespace

std::unique_ptr<InputStream> Win32FileStreams::OpenForReading(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    return nullptr;
  }
  // Deleting the source while it is still open for reading must work as it does on Linux:
  // the encrypted copy is complete by then, and the name goes when the handle closes.
  const HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  LARGE_INTEGER size{};
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) {
    CloseHandle(handle);
    return nullptr;
  }
  return std::make_unique<Win32InputStream>(handle, static_cast<uint64_t>(size.QuadPart));
}

std::unique_ptr<StagedFile> Win32FileStreams::Stage(const std::string& finalPath,
                                                    const std::string& /*rightsFrom*/) {
  // Access rights come from the folder on this system, as for any new file there.
  const std::string folder = FolderOf(finalPath);
  SweepAbandonedStagedFiles(folder);
  std::random_device source;
  std::uniform_int_distribution<unsigned long long> draw;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string path = folder + kStagedPrefix + std::to_string(GetCurrentProcessId()) + '-' +
                             std::to_string(draw(source));
    // Shared with nobody: a sweep cannot delete it while it is being written.
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      return std::make_unique<Win32StagedFile>(handle, path, finalPath);
    }
    if (GetLastError() != ERROR_FILE_EXISTS) {
      break;
    }
  }
  return nullptr;
}

FileStreams& NativeFileStreams() {
  static Win32FileStreams streams;
  return streams;
}

}  // namespace hv
