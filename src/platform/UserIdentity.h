#pragma once

#include <string>

namespace hv {

// What tells this user apart from others on the machine, for names that must be one per
// user (the running program's meeting point): the user id on POSIX, the user name on
// Windows.
std::string UserIdentity();

}  // namespace hv
