#pragma once

#include <memory>

#include "platform/BrowserProfiles.h"
#include "platform/RecycleBin.h"
#include "platform/RestartService.h"
#include "platform/RunningBrowsers.h"
#include "platform/UrlCache.h"

namespace hv {

// The operating-system services of the running program, one implementation per system.
struct PlatformServices {
  std::unique_ptr<RecycleBin> recycleBin;
  std::unique_ptr<RestartService> restart;
  std::unique_ptr<UrlCache> urlCache;
  std::unique_ptr<BrowserProfiles> browserProfiles;
  std::unique_ptr<RunningBrowsers> runningBrowsers;
};

// The services of the system the program was built for.
PlatformServices MakePlatformServices();

}  // namespace hv
