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
  for (const BrowserProfile& profile : MozillaProfiles().Profiles().profiles) {
    if (HeldWithoutSharing(profile.folder + "parent.lock")) {
      running.push_back({profile.browser, {profile.folder}});
    }
  }
  return running;
}

}  // namespace hv
