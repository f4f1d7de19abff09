#include <errno.h>
#include <termios.h>
#include <unistd.h>

#include "platform/Terminal.h"

namespace hv {

bool IsTerminal(StandardStream stream) {
  return isatty(static_cast<int>(stream)) == 1;
}

bool SetInputEcho(bool on) {
  termios mode{};
  if (tcgetattr(STDIN_FILENO, &mode) != 0) {
    return false;
  }
  if (on) {
    mode.c_lflag |= ECHO;
  } else {
    mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  }
  // Input typed ahead is kept: it is the answer to the prompt that follows.
  return tcsetattr(STDIN_FILENO, TCSANOW, &mode) == 0;
}

std::optional<std::string> ReadDescriptor(int descriptor) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(descriptor, buffer, sizeof buffer);
    if (got == 0) {
      return bytes;
    }
    if (got < 0 && errno != EINTR) {
      return std::nullopt;
    }
    if (got > 0) {
      bytes.append(buffer, static_cast<size_t>(got));
    }
  }
}

}  // namespace hv
