#include "ports/WorkProgress.h"

namespace hv {

WorkProgress& NoProgress() {
  static WorkProgress nobody;
  return nobody;
}

std::string FilesLeftByStop(int count) {
  return "Stopped: " + std::to_string(count) + " file(s) were left as they were.";
}

}  // namespace hv
