#pragma once

#include <string>
#include <vector>

namespace hv {

// The two families of browsers whose profiles share one layout.
enum class BrowserFamily {
  kFirefox,
  kChromium,  // Chromium and the browsers built on it
};

// One profile of one installed browser.
struct BrowserProfile {
  std::string browser;  // for showing: "Firefox", "Google Chrome", "Mozilla"
  BrowserFamily family = BrowserFamily::kFirefox;
  std::string install;      // how the browser came: "snap", "Flatpak"; empty for the usual way
  std::string name;         // the profile's folder name
  std::string folder;       // the profile folder, ending with the path separator
  std::string cacheFolder;  // its disk cache's folder, ending with the separator; empty when
                            // it has none of its own

  bool operator==(const BrowserProfile&) const = default;
};

// Every profile found, and the folders that hold profiles but could not be listed: those
// are no "no profiles", and whoever would clean them says so.
struct UnreadableFolder {
  BrowserFamily family = BrowserFamily::kFirefox;
  std::string path;
  std::string reason;
};
// A folder that holds one install's profiles, and its other files (crash reports).
struct BrowserInstallFolder {
  std::string browser;
  BrowserFamily family = BrowserFamily::kFirefox;
  std::string install;
  std::string folder;  // ending with the path separator

  bool operator==(const BrowserInstallFolder&) const = default;
};
struct BrowserProfileList {
  std::vector<BrowserProfile> profiles;
  std::vector<BrowserInstallFolder> installs;  // those that exist, each once
  std::vector<UnreadableFolder> unreadable;
};

// The user's browser profiles, wherever the browsers' packages put them.
class BrowserProfiles {
 public:
  virtual ~BrowserProfiles() = default;

  // Looked for afresh at each call: the profiles of every browser, in a fixed order of
  // browsers and installs, each profile once however many paths lead to it.
  virtual BrowserProfileList Profiles() = 0;
};

}  // namespace hv
