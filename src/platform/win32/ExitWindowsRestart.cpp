#include "platform/win32/ExitWindowsRestart.h"

#include "platform/win32/WindowsApi.h"

#include <cstdlib>

namespace hv {

bool ExitWindowsRestart::RequestRestart() {
  if (std::getenv(kNoRestartVariable) != nullptr) {
    return false;
  }
  // No shutdown privilege is requested: without it the system refuses, and whether the
  // restart happens is the system's matter.
  ExitWindowsEx(EWX_REBOOT, 0);
  return true;
}

}  // namespace hv
