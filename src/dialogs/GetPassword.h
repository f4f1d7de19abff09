#pragma once

#include <string>

namespace hv {

// The modal password prompt of the window: asks once (noConfirm) or twice with the entries
// compared. Returns the password as typed, or the empty string when the user cancelled.
std::string GetPassword(const std::string& prompt, bool noConfirm);

}  // namespace hv
