#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "AnotherProcess.h"

namespace hv::test {

// This machine's host name, as browsers write it into their locks.
inline std::string ThisHost() {
  std::array<char, 256> name{};
  gethostname(name.data(), name.size() - 1);
  return name.data();
}

// The id of a process that has ended.
inline pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) {
    _exit(0);
  }
  waitpid(child, nullptr, 0);
  return child;
}

// Another process that holds a profile the way a running browser does, until Release or
// the end of the object: Firefox's "lock" link naming host and process and its fcntl lock
// on ".parentlock"; a Chromium family's "SingletonLock" link. Closing, it removes its lock
// as the browser does on exit.
class BrowserLockHolder {
 public:
  enum class Style { kFirefox, kFirefoxParentLockOnly, kChromium };

  BrowserLockHolder(const std::filesystem::path& folder, Style style)
      : link_(folder / (style == Style::kChromium ? "SingletonLock" : "lock")),
        holder_([&] { return Take(folder, style); }, [this] { unlink(link_.c_str()); }) {
    EXPECT_TRUE(holder_.Taken()) << folder;
  }

  // The browser closes: its locks go with it.
  void Release() { holder_.Release(); }

 private:
  bool Take(const std::filesystem::path& folder, Style style) const {
    const std::string pid = std::to_string(getpid());
    if (style == Style::kChromium) {
      return symlink((ThisHost() + "-" + pid).c_str(), link_.c_str()) == 0;
    }
    if (style == Style::kFirefox &&
        symlink((ThisHost() + ":+" + pid).c_str(), link_.c_str()) != 0) {
      return false;
    }
    const int fd = open((folder / ".parentlock").c_str(), O_CREAT | O_RDWR, 0644);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return fd >= 0 && fcntl(fd, F_SETLK, &lock) == 0;
  }

  std::string link_;
  AnotherProcess holder_;
};

}  // namespace hv::test
