#pragma once

#include <optional>
#include <utility>

#include "platform/BrowserProfiles.h"
#include "platform/posix/browser/BrowserFolders.h"

namespace hv {

// The profiles of Firefox and of the Chromium family wherever the distribution's, snap and
// Flatpak packages put them. A Firefox profile is a folder holding one (its settings or
// its databases), or one that profiles.ini lists; a Chromium-family one is "Default" or
// "Profile N".
class InstalledBrowserProfiles : public BrowserProfiles {
 public:
  // The current user's: the folders are looked up afresh at every call.
  InstalledBrowserProfiles() = default;
  explicit InstalledBrowserProfiles(BrowserFolders folders) : folders_(std::move(folders)) {}

  BrowserProfileList Profiles() override;

 private:
  std::optional<BrowserFolders> folders_;
};

}  // namespace hv
