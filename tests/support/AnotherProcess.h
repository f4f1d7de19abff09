#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

namespace hv::test {

// A child process that takes something (opens a file, takes a lock) and holds it until
// Release or the end of the object; then it gives it back and ends. take runs in the
// child and says whether it succeeded; the constructor waits for it.
class AnotherProcess {
 public:
  explicit AnotherProcess(const std::function<bool()>& take,
                          const std::function<void()>& giveBack = {}) {
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
      char byte = take() ? 'y' : 'n';
      (void)!write(ready[1], &byte, 1);
      while (read(release[0], &byte, 1) > 0) {
      }
      if (giveBack) {
        giveBack();
      }
      _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    release_ = release[1];
    char taken = 0;
    EXPECT_EQ(read(ready[0], &taken, 1), 1);
    taken_ = taken == 'y';
    close(ready[0]);
  }
  ~AnotherProcess() { Release(); }
  AnotherProcess(const AnotherProcess&) = delete;
  AnotherProcess& operator=(const AnotherProcess&) = delete;

  bool Taken() const { return taken_; }

  // Lets the child give back what it holds and end; returns once it has.
  void Release() {
    if (child_ > 0) {
      close(release_);
      waitpid(child_, nullptr, 0);
      child_ = -1;
    }
  }

 private:
  pid_t child_ = -1;
  int release_ = -1;
  bool taken_ = false;
};

}  // namespace hv::test
