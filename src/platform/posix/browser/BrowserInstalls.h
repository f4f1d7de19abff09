#pragma once

#include <string>
#include <vector>

#include "platform/BrowserProfiles.h"
#include "platform/posix/browser/BrowserFolders.h"

namespace hv {

// A place below a base folder: the base is the user's own and may be reached through
// links, nothing below it is.
struct Place {
  std::string base;
  std::string below;  // starts with '/'

  bool Known() const { return !base.empty(); }
  std::string Path() const { return base + below; }
};

// One way a browser is installed: where it keeps its profiles, and where the disk cache of
// each profile is, in a folder of the profile's name.
struct BrowserInstall {
  std::string browser;
  BrowserFamily family = BrowserFamily::kFirefox;
  std::string install;  // "snap", "Flatpak", "XDG"; empty for the usual place
  Place profiles;
  Place caches;                // not Known when the install keeps no caches apart
  bool singleProfile = false;  // the profiles folder is itself the one profile
};

// Every place the browsers' packages (the distribution's, snap and Flatpak) put profiles
// below folders, whether or not it exists: Firefox's first, then the Chromium family's.
std::vector<BrowserInstall> BrowserInstalls(const BrowserFolders& folders);

// The profiles of every install below folders, each once however many paths lead to it.
BrowserProfileList FindBrowserProfiles(const BrowserFolders& folders);

// Whether name is a profile folder's name in a Chromium-family browser's folder.
bool IsChromiumProfileName(const std::string& name);

}  // namespace hv
