#pragma once

#include <string>

namespace hv::cli {

// The password of a script: the first line of a file or of what a descriptor delivers,
// without its line end. Throws CommandError when there is none.
std::string PasswordFromFile(const std::string& path);
std::string PasswordFromDescriptor(int descriptor);

}  // namespace hv::cli
