#pragma once

#include <string>

namespace hv {

// The running program's file name without folder and extension ("hushvault"); errors
// name it as their source.
std::string ExecutableName();

}  // namespace hv
