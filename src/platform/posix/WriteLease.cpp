#include "platform/posix/WriteLease.h"

#include <fcntl.h>

#include <cerrno>
#include <csignal>

namespace hv {
namespace {

// The signal a broken lease sends. The default, SIGIO, would end the program whenever
// another program opens a file while it is probed; a real-time signal nobody else uses is
// ignored instead, once for the whole process, so that no thread is ever interrupted by
// it. Zero when every one is taken.
int LeaseBreakSignal() {
  static const int chosen = [] {
    for (int candidate = SIGRTMAX; candidate >= SIGRTMIN; --candidate) {
      struct sigaction current {};
      if (sigaction(candidate, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
          current.sa_handler != SIG_DFL) {
        continue;
      }
      struct sigaction ignore {};
      ignore.sa_handler = SIG_IGN;
      sigemptyset(&ignore.sa_mask);
      if (sigaction(candidate, &ignore, nullptr) == 0) {
        return candidate;
      }
    }
    return 0;
  }();
  return chosen;
}

}  // namespace

bool OpenElsewhere(int fd) {
  const int signal = LeaseBreakSignal();
  if (signal == 0 || fcntl(fd, F_SETSIG, signal) != 0) {
    return false;  // a lease without a safe signal could end the program: cannot tell
  }
  if (fcntl(fd, F_SETLEASE, F_WRLCK) != 0) {
    // Busy, or not ours to lease (another user's file): not exclusive.
    return errno == EAGAIN || errno == EBUSY || errno == EACCES;
  }
  // A break under way shows as a lease about to be given up. The lease ends with fd.
  return fcntl(fd, F_GETLEASE) != F_WRLCK;
}

}  // namespace hv
