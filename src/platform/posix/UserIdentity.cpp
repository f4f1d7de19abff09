#include "platform/UserIdentity.h"

#include <unistd.h>

namespace hv {

std::string UserIdentity() {
  return std::to_string(getuid());
}

}  // namespace hv
