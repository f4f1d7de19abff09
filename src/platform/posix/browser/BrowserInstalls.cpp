#include "platform/posix/browser/BrowserInstalls.h"

#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <utility>

#include "platform/posix/browser/FirefoxProfilesIni.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

// A browser of the Chromium family: its name, its folder below the config and cache
// folders, and its Flatpak application id.
struct ChromiumBrowser {
  const char* name;
  const char* folder;
  const char* flatpakId;
  bool singleProfile;
};

constexpr ChromiumBrowser kChromiumFamily[] = {
    {"Chromium", "chromium", "org.chromium.Chromium", false},
    {"Google Chrome", "google-chrome", "com.google.Chrome", false},
    {"Brave", "BraveSoftware/Brave-Browser", "com.brave.Browser", false},
    {"Vivaldi", "vivaldi", "com.vivaldi.Vivaldi", false},
    {"Microsoft Edge", "microsoft-edge", "com.microsoft.Edge", false},
    // Opera keeps its one profile in its folder itself.
    {"Opera", "opera", "com.opera.Opera", true},
};

constexpr const char* kFirefoxFlatpak = "/.var/app/org.mozilla.firefox";

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

void AddFirefoxInstalls(const BrowserFolders& folders, std::vector<BrowserInstall>& installs) {
  const auto add = [&](const std::string& install, Place profiles, Place caches) {
    if (profiles.Known()) {
      installs.push_back({"Firefox", BrowserFamily::kFirefox, install, std::move(profiles),
                          std::move(caches), false});
    }
  };
  const Place cache{folders.cache, "/mozilla/firefox"};
  const Place classic{folders.home, "/.mozilla/firefox"};
  add("", classic, cache);
  // Where Firefox keeps only the XDG folder, that is its usual place.
  add(classic.Known() && IsFolder(classic.Path()) ? "XDG" : "",
      {folders.config, "/mozilla/firefox"}, cache);
  add("snap", {folders.home, "/snap/firefox/common/.mozilla/firefox"},
      {folders.home, "/snap/firefox/common/.cache/mozilla/firefox"});
  const Place flatpakCache{folders.home, std::string(kFirefoxFlatpak) + "/cache/mozilla/firefox"};
  add("Flatpak", {folders.home, std::string(kFirefoxFlatpak) + "/.mozilla/firefox"}, flatpakCache);
  add("Flatpak", {folders.home, std::string(kFirefoxFlatpak) + "/config/mozilla/firefox"},
      flatpakCache);
}

void AddChromiumInstalls(const BrowserFolders& folders, std::vector<BrowserInstall>& installs) {
  for (const ChromiumBrowser& browser : kChromiumFamily) {
    const auto add = [&](const char* install, Place profiles, Place caches) {
      if (profiles.Known()) {
        installs.push_back({browser.name, BrowserFamily::kChromium, install, std::move(profiles),
                            std::move(caches), browser.singleProfile});
      }
    };
    const std::string folder = std::string("/") + browser.folder;
    add("", {folders.config, folder}, {folders.cache, folder});
    if (std::string(browser.folder) == "chromium") {
      add("snap", {folders.home, "/snap/chromium/common/chromium"},
          {folders.home, "/snap/chromium/common/.cache/chromium"});
    }
    const std::string app = std::string("/.var/app/") + browser.flatpakId;
    add("Flatpak", {folders.home, app + "/config" + folder},
        {folders.home, app + "/cache" + folder});
  }
}

// Firefox writes its settings and its databases into a profile at once; its other
// folders beside the profiles (crash reports, pending pings) hold none of them.
bool LooksLikeFirefoxProfile(const fs::path& folder) {
  for (const char* name : {"prefs.js", "times.json", "places.sqlite", "cookies.sqlite"}) {
    if (Exists(folder / name)) {
      return true;
    }
  }
  return false;
}

// The profile folders of one install, links to folders included: a profile kept elsewhere
// (in memory, by a sync daemon) is linked into place. Links below a profile are for the
// cleaning to refuse, not for this list.
std::vector<fs::path> ProfileFoldersOf(const BrowserInstall& install, BrowserProfileList& list) {
  const std::string root = install.profiles.Path();
  if (install.singleProfile) {
    return IsFolder(root) ? std::vector<fs::path>{root} : std::vector<fs::path>{};
  }
  std::error_code error;
  std::vector<fs::path> found;
  for (fs::path& folder : SubFolders(root, error)) {
    const std::string name = folder.filename().string();
    if (install.family == BrowserFamily::kFirefox ? LooksLikeFirefoxProfile(folder)
                                                  : IsChromiumProfileName(name)) {
      found.push_back(std::move(folder));
    }
  }
  if (error && error != std::errc::no_such_file_or_directory) {
    list.unreadable.push_back({install.family, root, error.message()});
  }
  if (install.family == BrowserFamily::kFirefox && !error) {
    for (const std::string& listed : ProfilesListedIn(root)) {
      // One kept outside the profiles folder must look like a profile to be taken.
      if (IsFolder(listed) &&
          (fs::path(listed).parent_path() == fs::path(root).lexically_normal() ||
           LooksLikeFirefoxProfile(listed))) {
        found.emplace_back(listed);
      }
    }
  }
  return found;
}

std::string CacheFolderOf(const BrowserInstall& install, const std::string& name) {
  if (!install.caches.Known()) {
    return {};
  }
  const std::string folder =
      install.singleProfile ? install.caches.Path() : install.caches.Path() + "/" + name;
  return IsFolder(folder) ? folder + "/" : std::string();
}

}  // namespace

std::vector<BrowserInstall> BrowserInstalls(const BrowserFolders& folders) {
  std::vector<BrowserInstall> installs;
  AddFirefoxInstalls(folders, installs);
  AddChromiumInstalls(folders, installs);
  return installs;
}

BrowserProfileList FindBrowserProfiles(const BrowserFolders& folders) {
  BrowserProfileList list;
  std::set<std::pair<dev_t, ino_t>> seen;
  std::set<std::pair<dev_t, ino_t>> seenInstalls;
  for (const BrowserInstall& install : BrowserInstalls(folders)) {
    const std::string root = install.profiles.Path();
    if (struct stat info{}; stat(root.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
                            seenInstalls.insert({info.st_dev, info.st_ino}).second) {
      list.installs.push_back({install.browser, install.family, install.install, root + "/"});
    }
    for (const fs::path& folder : ProfileFoldersOf(install, list)) {
      struct stat info {};
      if (stat(folder.c_str(), &info) != 0 || !seen.insert({info.st_dev, info.st_ino}).second) {
        continue;
      }
      const std::string name = folder.filename().string();
      list.profiles.push_back({install.browser, install.family, install.install, name,
                               folder.string() + "/", CacheFolderOf(install, name)});
    }
  }
  return list;
}

bool IsChromiumProfileName(const std::string& name) {
  return name == "Default" || name.starts_with("Profile ");
}

}  // namespace hv
