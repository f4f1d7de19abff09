#include "platform/posix/StagedNames.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <ctime>
#include <random>

#include "platform/posix/FolderEntries.h"

namespace hv {
namespace {

// Not a dot-name: a leftover must stay visible to the user and to the cleaning items.
constexpr std::string_view kStagedPrefix = "~hushvault-staged-";
constexpr int kNameAttempts = 100;
// Longer than any pause between two writes of a running operation.
constexpr time_t kAbandonedAfterSeconds = 10 * 60;

std::string FreshStagedName() {
  static std::random_device source;
  std::uniform_int_distribution<unsigned long long> draw;
  return std::string(kStagedPrefix) + std::to_string(getpid()) + '-' + std::to_string(draw(source));
}

// The process id a staged name carries; 0 when the name is not one of ours.
pid_t OwnerOf(std::string_view name) {
  if (!name.starts_with(kStagedPrefix)) {
    return 0;
  }
  name.remove_prefix(kStagedPrefix.size());
  pid_t pid = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), pid);
  return error == std::errc() && end != name.data() && *end == '-' ? pid : 0;
}

bool Runs(pid_t pid) {
  return kill(pid, 0) == 0 || errno == EPERM;
}

bool Abandoned(int fd, pid_t owner, const struct stat& info) {
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    return false;
  }
  return !Runs(owner) || time(nullptr) - info.st_mtime > kAbandonedAfterSeconds;
}

void RemoveIfAbandoned(int folder, const std::string& name) {
  const pid_t owner = OwnerOf(name);
  if (owner <= 0) {
    return;
  }
  const int fd = openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return;
  }
  struct stat opened {};
  struct stat named {};
  // The name must still be the file examined when it goes.
  if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && Abandoned(fd, owner, opened) &&
      fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
    unlinkat(folder, name.c_str(), 0);
  }
  close(fd);
}

}  // namespace

std::string UnderFreshStagedName(const std::function<bool(const std::string&)>& attempt) {
  for (int n = 0; n < kNameAttempts; ++n) {
    std::string name = FreshStagedName();
    if (attempt(name)) {
      return name;
    }
    if (errno != EEXIST) {
      break;
    }
  }
  return {};
}

void ClaimStaged(int fd) {
  // A file system without locks leaves the owner's process id and the file's age to tell.
  flock(fd, LOCK_EX | LOCK_NB);
}

void SweepAbandonedStagedFiles(int folder) {
  for (const std::string& name : FolderEntryNames(folder)) {
    RemoveIfAbandoned(folder, name);
  }
}

}  // namespace hv
