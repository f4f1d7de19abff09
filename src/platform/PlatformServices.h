#pragma once

#include <memory>

#include "platform/RecycleBin.h"
#include "platform/RestartService.h"

namespace hv {

// The operating-system services of the running program, one implementation per system.
struct PlatformServices {
  std::unique_ptr<RecycleBin> recycleBin;
  std::unique_ptr<RestartService> restart;
};

// The services of the system the program was built for.
PlatformServices MakePlatformServices();

}  // namespace hv
