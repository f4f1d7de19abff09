#include "platform/posix/PosixFileStreams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix/RegularFile.h"
#include "platform/posix/StagedNames.h"
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

std::string NameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Gives a file that has no name one in the folder; fails with EEXIST when the name is
// taken, since a link never replaces a file.
bool LinkNameless(int fd, int folder, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    return true;
  }
  // Without /proc, a link from the descriptor itself, which needs a privilege.
  return errno == ENOENT && linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0;
}

// The new file is written without a name (stagedName_ empty) or, where the file system
// cannot do that, under a staged name; either way it reaches its final name whole.
class PosixStagedFile : public StagedFile {
 public:
  PosixStagedFile(int fd, int folder, std::string stagedName, std::string finalName)
      : fd_(fd),
        folder_(folder),
        stagedName_(std::move(stagedName)),
        finalName_(std::move(finalName)),
        writeBehind_(fd) {}

  ~PosixStagedFile() override {
    Discard();
    close(folder_);
  }
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
    if (fsync(fd_) != 0 || !PlaceUnderFinalName()) {
      Discard();
      return false;
    }
    stagedName_.clear();
    const bool closed = close(fd_) == 0;
    fd_ = -1;
    // The new name is durable only once the folder itself reaches the disk; some file
    // systems cannot sync a folder, which leaves it as durable as they make it.
    fsync(folder_);
    return closed;
  }

 private:
  // A file that replaces another goes through a staged name and a rename, which swaps the
  // two at once: a crash leaves the old file or the new one, never neither.
  bool PlaceUnderFinalName() {
    if (stagedName_.empty()) {
      if (LinkNameless(fd_, folder_, finalName_)) {
        return true;
      }
      if (errno != EEXIST) {
        return false;
      }
      stagedName_ = UnderFreshStagedName(
          [this](const std::string& name) { return LinkNameless(fd_, folder_, name); });
      if (stagedName_.empty()) {
        return false;
      }
    }
    return renameat(folder_, stagedName_.c_str(), folder_, finalName_.c_str()) == 0;
  }

  void Discard() {
    writeBehind_.Stop();
    if (!stagedName_.empty()) {
      unlinkat(folder_, stagedName_.c_str(), 0);
      stagedName_.clear();
    }
    if (fd_ >= 0) {
      close(fd_);
      fd_ = -1;
    }
  }

  int fd_;
  const int folder_;
  std::string stagedName_;
  const std::string finalName_;
  WriteBehind writeBehind_;
  off_t written_ = 0;
};

}  // namespace

std::unique_ptr<InputStream> PosixFileStreams::OpenForReading(const std::string& path) {
  struct stat info {};
  const int fd = OpenRegularForReading(AT_FDCWD, path.c_str(), info);
  if (fd < 0) {
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
  const int folder = open(FolderOf(finalPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) {
    return nullptr;
  }
  SweepAbandonedStagedFiles(folder);
  constexpr mode_t kOwnerOnly = 0600;
  std::string stagedName;
  int fd = OpenNameless(folder, kOwnerOnly);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    stagedName = UnderFreshStagedName([&](const std::string& name) {
      fd = openat(folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  kOwnerOnly);
      return fd >= 0;
    });
  }
  if (fd < 0) {
    close(folder);
    return nullptr;
  }
  ClaimStaged(fd);
  struct stat like {};
  if (lstat(rightsFrom.c_str(), &like) == 0 && S_ISREG(like.st_mode)) {
    fchmod(fd, like.st_mode & 0777);
  }
  return std::make_unique<PosixStagedFile>(fd, folder, std::move(stagedName), NameOf(finalPath));
}

int PosixFileStreams::OpenNameless(int folder, mode_t mode) {
  return openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
}

FileStreams& NativeFileStreams() {
  static PosixFileStreams streams;
  return streams;
}

}  // namespace hv
