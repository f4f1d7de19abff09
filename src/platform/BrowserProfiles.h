#pragma once

#include <string>
#include <vector>

namespace hv {

// The folder that holds the user's Netscape or Mozilla browser profiles.
class BrowserProfiles {
 public:
  virtual ~BrowserProfiles() = default;

  // The profile folder, ending with the path separator; computed afresh at each call.
  virtual std::string ProfileRoot() = 0;

  // The names of the profiles in the profile folder, in the order the system lists them;
  // none when the folder is missing or empty. Throws NumberedError when the folder is there
  // but cannot be listed: that is no "no profiles".
  virtual std::vector<std::string> ProfileNames() = 0;
};

}  // namespace hv
