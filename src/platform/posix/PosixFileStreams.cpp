#include "platform/posix/PosixFileStreams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/posix/WriteBehind.h"

namespace hv {
namespace {

class PosixInputStream : public InputStream {
 public:
  PosixInputStream(int fd, uint64_t length) : fd_(fd), length_(length) {}
  ~PosixInputStream() override { close(fd_); }
  PosixInputStream(const PosixInputStream&) = delete;
  PosixInputStream& operator=(const PosixInputStream&) = delete;

  uint64_t Length() const override { return length_; }

  std::optional<size_t> Read(std::span<std::byte> buffer) override {
    for (;;) {
      const ssize_t count = read(fd_, buffer.data(), buffer.size());
      if (count >= 0) {
        return static_cast<size_t>(count);
      }
      if (errno != EINTR) {
        return std::nullopt;
      }
    }
  }

 private:
  int fd_;
  uint64_t length_;
};

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

class PosixStagedFile : public StagedFile {
 public:
  PosixStagedFile(int fd, std::string tempPath, std::string finalPath)
      : fd_(fd),
        tempPath_(std::move(tempPath)),
        finalPath_(std::move(finalPath)),
        writeBehind_(fd) {}

  ~PosixStagedFile() override { Discard(); }
  PosixStagedFile(const PosixStagedFile&) = delete;
  PosixStagedFile& operator=(const PosixStagedFile&) = delete;

  bool Write(std::span<const std::byte> data) override {
    while (fd_ >= 0 && !data.empty()) {
      const ssize_t written = write(fd_, data.data(), data.size());
      if (written < 0 && errno == EINTR) {
        continue;
      }
      if (written <= 0) {
        return false;
      }
      data = data.subspan(static_cast<size_t>(written));
      written_ += written;
    }
    if (fd_ >= 0) {
      writeBehind_.Written(written_);
    }
    return fd_ >= 0;
  }

  bool Commit() override {
    if (fd_ < 0) {
      return false;
    }
    writeBehind_.Stop();
    const bool synced = fsync(fd_) == 0;
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed || rename(tempPath_.c_str(), finalPath_.c_str()) != 0) {
      unlink(tempPath_.c_str());
      tempPath_.clear();
      return false;
    }
    tempPath_.clear();
    // The rename is durable only once the folder itself reaches the disk; some file systems
    // cannot sync a folder, which leaves the rename as durable as they make it.
    const int folder = open(FolderOf(finalPath_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      fsync(folder);
      close(folder);
    }
    return true;
  }

 private:
  void Discard() {
    writeBehind_.Stop();
    if (fd_ >= 0) {
      close(fd_);
      fd_ = -1;
    }
    if (!tempPath_.empty()) {
      unlink(tempPath_.c_str());
      tempPath_.clear();
    }
  }

  int fd_;
  std::string tempPath_;
  std::string finalPath_;
  WriteBehind writeBehind_;
  off_t written_ = 0;
};

}  // namespace

std::unique_ptr<InputStream> PosixFileStreams::OpenForReading(const std::string& path) {
  // Non-blocking, so that a FIFO put in the file's place cannot hang the open.
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return nullptr;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) {
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return std::make_unique<PosixInputStream>(fd, static_cast<uint64_t>(info.st_size));
}

std::unique_ptr<StagedFile> PosixFileStreams::Stage(const std::string& finalPath,
                                                    const std::string& rightsFrom) {
  std::string folder = FolderOf(finalPath);
  std::string pattern = (folder == "/" ? "" : folder) + "/.hushvault-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    return nullptr;
  }
  struct stat like {};
  if (lstat(rightsFrom.c_str(), &like) == 0 && S_ISREG(like.st_mode)) {
    fchmod(fd, like.st_mode & 0777);
  }
  return std::make_unique<PosixStagedFile>(fd, std::string(name.data()), finalPath);
}

FileStreams& NativeFileStreams() {
  static PosixFileStreams streams;
  return streams;
}

}  // namespace hv
