#include "ports/WorkProgress.h"

namespace hv {

WorkProgress& NoProgress() {
  static WorkProgress nobody;
  return nobody;
}

}  // namespace hv
