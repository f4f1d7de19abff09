#pragma once

#include <string>

namespace hv {

// The running program's file name without folder and extension ("hushvault"); errors
// name it as their source.
std::string ExecutableName();

// The folder that holds the running program, without a trailing separator; the program's
// own files lie below it.
std::string ExecutableFolder();

}  // namespace hv
