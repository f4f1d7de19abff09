#include "platform/win32/WindowsApi.h"

#include <string>

#include "platform/UserIdentity.h"

namespace hv {

std::string UserIdentity() {
  char name[257] = {};  // UNLEN + 1
  DWORD size = sizeof name;
  return GetUserNameA(name, &size) ? std::string(name) : std::string("user");
}

}  // namespace hv
