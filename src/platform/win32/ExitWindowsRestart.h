#pragma once

#include "platform/RestartService.h"

namespace hv {

// Asks Windows to reboot through ExitWindowsEx.
class ExitWindowsRestart : public RestartService {
 public:
  bool RequestRestart() override;
};

}  // namespace hv
