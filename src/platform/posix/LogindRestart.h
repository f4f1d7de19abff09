#pragma once

#include "platform/RestartService.h"

namespace hv {

// Requests a reboot from systemd-logind over the system bus.
class LogindRestart : public RestartService {
 public:
  bool RequestRestart() override;
};

}  // namespace hv
