#pragma once

#include <string>

namespace hv {

// Turns a folder path with %NAME% placeholders into a real path of the current user:
// environment variables first, then the special folders of the registry's "Shell
// Folders" key (names in any letter case). Unknown placeholders stay as written.
std::string ExpandPath(const std::string& path);

}  // namespace hv
