#include "platform/PlatformServices.h"
#include "platform/win32/ExitWindowsRestart.h"
#include "platform/win32/MozillaProfileLocks.h"
#include "platform/win32/MozillaProfiles.h"
#include "platform/win32/ShellRecycleBin.h"
#include "platform/win32/WinInetUrlCache.h"

namespace hv {

PlatformServices MakePlatformServices() {
  PlatformServices services;
  services.recycleBin = std::make_unique<ShellRecycleBin>();
  services.restart = std::make_unique<ExitWindowsRestart>();
  services.urlCache = std::make_unique<WinInetUrlCache>();
  services.browserProfiles = std::make_unique<MozillaProfiles>();
  services.runningBrowsers = std::make_unique<MozillaProfileLocks>();
  return services;
}

}  // namespace hv
