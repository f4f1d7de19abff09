#pragma once

namespace hv {

// Asks the system to restart the computer.
class RestartService {
 public:
  virtual ~RestartService() = default;

  // Returns false when the request was refused before it was made (for instance while
  // HUSHVAULT_NO_RESTART is set); whether the restart then happens is the system's matter.
  virtual bool RequestRestart() = 0;
};

// Tests and CI set this variable so that nothing ever restarts the machine.
inline constexpr const char* kNoRestartVariable = "HUSHVAULT_NO_RESTART";

}  // namespace hv
