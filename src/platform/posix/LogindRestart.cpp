#include "platform/posix/LogindRestart.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace hv {
namespace {

bool Run(char* const argv[]) {
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv, environ) != 0) {
    return false;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      return false;
    }
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool LogindRestart::RequestRestart() {
  if (std::getenv(kNoRestartVariable) != nullptr) {
    return false;
  }
  // "interactive" true lets polkit ask the user for authorisation where it is needed.
  char* busctl[] = {const_cast<char*>("busctl"),
                    const_cast<char*>("call"),
                    const_cast<char*>("org.freedesktop.login1"),
                    const_cast<char*>("/org/freedesktop/login1"),
                    const_cast<char*>("org.freedesktop.login1.Manager"),
                    const_cast<char*>("Reboot"),
                    const_cast<char*>("b"),
                    const_cast<char*>("true"),
                    nullptr};
  if (Run(busctl)) {
    return true;
  }
  char* dbusSend[] = {const_cast<char*>("dbus-send"),
                      const_cast<char*>("--system"),
                      const_cast<char*>("--print-reply"),
                      const_cast<char*>("--dest=org.freedesktop.login1"),
                      const_cast<char*>("/org/freedesktop/login1"),
                      const_cast<char*>("org.freedesktop.login1.Manager.Reboot"),
                      const_cast<char*>("boolean:true"),
                      nullptr};
  Run(dbusSend);
  return true;
}

}  // namespace hv
