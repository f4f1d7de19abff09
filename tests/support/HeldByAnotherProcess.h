#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace hv::test {

// Another process with the file open for as long as this object lives.
class HeldByAnotherProcess {
 public:
  explicit HeldByAnotherProcess(const std::string& path) {
    int ready[2];
    int release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) {
      ADD_FAILURE() << "no pipe";
      return;
    }
    child_ = fork();
    if (child_ == 0) {
      close(ready[0]);
      close(release[1]);
      const int fd = open(path.c_str(), O_RDWR);
      char byte = fd >= 0 ? 'y' : 'n';
      (void)!write(ready[1], &byte, 1);
      while (read(release[0], &byte, 1) > 0) {
      }
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char opened = 0;
    EXPECT_EQ(read(ready[0], &opened, 1), 1);
    EXPECT_EQ(opened, 'y') << path;
    close(ready[0]);
  }
  ~HeldByAnotherProcess() {
    close(release_);
    waitpid(child_, nullptr, 0);
  }
  HeldByAnotherProcess(const HeldByAnotherProcess&) = delete;
  HeldByAnotherProcess& operator=(const HeldByAnotherProcess&) = delete;

 private:
  pid_t child_ = -1;
  int release_ = -1;
};

}  // namespace hv::test
