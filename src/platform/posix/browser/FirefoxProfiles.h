#pragma once

#include <optional>
#include <utility>

#include "platform/BrowserProfiles.h"
#include "platform/posix/browser/BrowserFolders.h"

namespace hv {

// Firefox's profiles on Linux. Only folders that hold a profile (prefs.js or times.json)
// are profiles: profiles.ini and Firefox's other files and folders there are not.
class FirefoxProfiles : public BrowserProfiles {
 public:
  // The current user's: the folders are looked up afresh at every call.
  FirefoxProfiles() = default;
  explicit FirefoxProfiles(BrowserFolders folders) : folders_(std::move(folders)) {}

  std::string ProfileRoot() override;
  std::vector<std::string> ProfileNames() override;

 private:
  std::optional<BrowserFolders> folders_;
};

}  // namespace hv
