#include "platform/PlatformServices.h"
#include "platform/win32/ExitWindowsRestart.h"
#include "platform/win32/ShellRecycleBin.h"

namespace hv {

PlatformServices MakePlatformServices() {
  PlatformServices services;
  services.recycleBin = std::make_unique<ShellRecycleBin>();
  services.restart = std::make_unique<ExitWindowsRestart>();
  return services;
}

}  // namespace hv
