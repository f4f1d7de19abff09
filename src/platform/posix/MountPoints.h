#pragma once

#include <string>
#include <vector>

namespace hv {

// The mount points of file systems that can hold a user's trash, from the mount table;
// kernel pseudo file systems and automounter placeholders are left out.
std::vector<std::string> TrashCapableMountPoints();

}  // namespace hv
