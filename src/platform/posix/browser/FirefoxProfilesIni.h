#pragma once

#include <string>
#include <vector>

namespace hv {

// The profile folders that Firefox's profiles.ini in root lists, in its order: a relative
// path joined to root, an absolute one as written. A path that climbs out of root with
// ".." is left out. None when the file is missing, unreadable or no ordinary file.
std::vector<std::string> ProfilesListedIn(const std::string& root);

}  // namespace hv
