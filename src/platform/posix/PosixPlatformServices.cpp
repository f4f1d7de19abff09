#include "platform/PlatformServices.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/LogindRestart.h"

namespace hv {

PlatformServices MakePlatformServices() {
  PlatformServices services;
  services.recycleBin = std::make_unique<FreedesktopTrash>(FreedesktopTrash::ForCurrentUser());
  services.restart = std::make_unique<LogindRestart>();
  return services;
}

}  // namespace hv
