#include "platform/PlatformServices.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/LogindRestart.h"
#include "platform/posix/browser/BrowserUrlCache.h"
#include "platform/posix/browser/InstalledBrowserProfiles.h"
#include "platform/posix/browser/RunningBrowserLocks.h"

namespace hv {

PlatformServices MakePlatformServices() {
  PlatformServices services;
  services.recycleBin = std::make_unique<FreedesktopTrash>(FreedesktopTrash::ForCurrentUser());
  services.restart = std::make_unique<LogindRestart>();
  services.urlCache = std::make_unique<BrowserUrlCache>(BrowserFolders::ForCurrentUser());
  services.browserProfiles = std::make_unique<InstalledBrowserProfiles>();
  services.runningBrowsers = std::make_unique<RunningBrowserLocks>();
  return services;
}

}  // namespace hv
