#include "platform/win32/MozillaProfileLocks.h"

#include "platform/win32/MozillaProfiles.h"
#include "platform/win32/WindowsApi.h"

namespace hv {
namespace {

bool HeldWithoutSharing(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

std::vector<RunningBrowser> MozillaProfileLocks::Find() {
  std::vector<RunningBrowser> running;
  MozillaProfiles profiles;
  const std::string root = profiles.ProfileRoot();
  for (const std::string& name : profiles.ProfileNames()) {
    if (HeldWithoutSharing(root + name + "\\parent.lock")) {
      running.push_back({"Firefox", {root + name}});
    }
  }
  return running;
}

}  // namespace hv
