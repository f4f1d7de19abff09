#include "platform/posix/browser/BrowserFolders.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <utility>

#include "clean/ReportSink.h"
#include "platform/posix/FolderEntries.h"
#include "platform/posix/NoFollowFolder.h"
#include "platform/posix/ShellFolders.h"
#include "platform/posix/browser/CacheFolder.h"
#include "platform/posix/browser/CookieDatabase.h"
#include "platform/posix/browser/HistoryDatabase.h"
#include "platform/posix/browser/LeftStore.h"
#include "platform/posix/browser/ProfileLock.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

// Chromium and the browsers built on it, by their folder below the config and cache
// folders, and by the name the user knows them by.
struct ChromiumBrowser {
  const char* folder;
  const char* name;
};
constexpr ChromiumBrowser kChromiumFamily[] = {{"chromium", "Chromium"},
                                               {"google-chrome", "Google Chrome"},
                                               {"BraveSoftware/Brave-Browser", "Brave"},
                                               {"vivaldi", "Vivaldi"},
                                               {"microsoft-edge", "Microsoft Edge"}};

// A place below a base folder: the base is the user's and may be reached through links,
// nothing below it is.
struct Place {
  std::string base;
  std::string below;

  std::string Path() const { return base + below; }
};

// Where Firefox keeps profiles (below home or config) and caches (below home or cache):
// the classic place, the XDG one, and those of the snap and flatpak packages.
struct FirefoxPlaces {
  std::vector<Place> profiles;
  std::vector<Place> caches;
};

FirefoxPlaces FirefoxPlacesOf(const BrowserFolders& folders) {
  FirefoxPlaces places;
  const auto add = [](std::vector<Place>& list, const std::string& base, const char* below) {
    if (!base.empty()) {
      list.push_back({base, below});
    }
  };
  add(places.profiles, folders.home, "/.mozilla/firefox");
  add(places.profiles, folders.config, "/mozilla/firefox");
  add(places.profiles, folders.home, "/snap/firefox/common/.mozilla/firefox");
  add(places.profiles, folders.home, "/.var/app/org.mozilla.firefox/.mozilla/firefox");
  add(places.profiles, folders.home, "/.var/app/org.mozilla.firefox/config/mozilla/firefox");
  add(places.caches, folders.cache, "/mozilla/firefox");
  add(places.caches, folders.home, "/snap/firefox/common/.cache/mozilla/firefox");
  add(places.caches, folders.home, "/.var/app/org.mozilla.firefox/cache/mozilla/firefox");
  return places;
}

bool IsChromiumProfile(const std::string& name) {
  return name == "Default" || name.starts_with("Profile ");
}

bool AnyProfile(const std::string&) {
  return true;
}

// The profile folders in folder, links to folders included: a profile kept elsewhere (in
// memory, for instance) is linked into place, and its databases' rows are cleaned all the
// same. None when folder cannot be listed.
std::vector<fs::path> ProfileFolders(const fs::path& folder) {
  std::error_code error;
  return SubFolders(folder, error);
}

// Collects the stores, each file or folder once however many paths lead to it.
class StoreList {
 public:
  StoreList(CacheKeyMemory* cacheKeys, bool readOnly, const std::vector<RunningBrowser>& running)
      : cacheKeys_(cacheKeys), readOnly_(readOnly), running_(running) {}

  bool ReadOnly() const { return readOnly_; }

  // A database, wherever links lead to it: only rows inside it are deleted. One of a
  // running browser is left as its own store names it (prefix and path).
  void AddFile(const fs::path& path, const std::function<std::unique_ptr<TraceStore>()>& make,
               std::vector<std::unique_ptr<TraceStore>>& into, const char* prefix) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && IsNew(info)) {
      if (InRunningBrowser(path.string())) {
        into.push_back(std::make_unique<LeftStore>(prefix + path.string(), path.string(),
                                                   LeftReason::kBrowserOpen));
      } else {
        into.push_back(make());
      }
    }
  }

  // The cache folder store in every profile folder of place that isProfile takes. Its
  // files are deleted, so neither it nor any folder between it and the place's base may
  // be a link; one that is reached through a link (a profile kept in memory by a sync
  // daemon) is listed as left.
  void AddCacheFolders(const Place& place, const char* store,
                       bool (*isProfile)(const std::string&)) {
    const NoFollowFolder profiles = NoFollowFolder::OpenBase(place.base).OpenBelow(place.below);
    for (const std::string& name : FolderEntryNames(profiles.Fd())) {
      if (!isProfile(name)) {
        continue;
      }
      const std::string path = place.Path() + "/" + name + "/" + store;
      NoFollowFolder folder = profiles.Open(name.c_str()).Open(store);
      struct stat info {};
      if (folder.Stat(info) && InRunningBrowser(path)) {
        if (IsNew(info)) {
          caches.push_back(std::make_unique<LeftStore>(path, path, LeftReason::kBrowserOpen));
        }
      } else if (folder.Stat(info)) {
        if (IsNew(info)) {
          caches.push_back(std::make_unique<CacheFolder>(std::move(folder), path, cacheKeys_));
        }
      } else if (const std::string below = name + "/" + store;
                 fstatat(profiles.Fd(), below.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode) &&
                 IsNew(info)) {
        caches.push_back(std::make_unique<LeftStore>(path, path, LeftReason::kLink));
      }
    }
  }

  std::vector<std::unique_ptr<TraceStore>> cookies, histories, caches;

 private:
  bool IsNew(const struct stat& info) { return seen_.insert({info.st_dev, info.st_ino}).second; }

  bool InRunningBrowser(const std::string& path) const {
    return std::ranges::any_of(running_, [&path](const RunningBrowser& browser) {
      return std::ranges::any_of(browser.folders, [&path](const std::string& folder) {
        return path.starts_with(folder + "/");
      });
    });
  }

  CacheKeyMemory* cacheKeys_;
  bool readOnly_;
  const std::vector<RunningBrowser>& running_;
  std::set<std::pair<dev_t, ino_t>> seen_;
};

void AddFirefoxStores(const BrowserFolders& folders, StoreList& stores) {
  const FirefoxPlaces places = FirefoxPlacesOf(folders);
  for (const Place& root : places.profiles) {
    for (const fs::path& profile : ProfileFolders(root.Path())) {
      const std::string cookies = (profile / "cookies.sqlite").string();
      stores.AddFile(
          cookies,
          [&] {
            return std::make_unique<CookieDatabase>(cookies, "moz_cookies", "host",
                                                    stores.ReadOnly());
          },
          stores.cookies, "Cookie:");
      const std::string places = (profile / "places.sqlite").string();
      stores.AddFile(
          places,
          [&] {
            return std::make_unique<HistoryDatabase>(places, HistoryDatabase::Family::Firefox,
                                                     stores.ReadOnly());
          },
          stores.histories, "Visited: ");
    }
  }
  for (const Place& root : places.caches) {
    stores.AddCacheFolders(root, "cache2", AnyProfile);
  }
}

void AddChromiumStores(const BrowserFolders& folders, StoreList& stores) {
  for (const auto& [browser, name] : kChromiumFamily) {
    if (!folders.config.empty()) {
      for (const fs::path& profile : ProfileFolders(fs::path(folders.config) / browser)) {
        if (!IsChromiumProfile(profile.filename().string())) {
          continue;
        }
        // Newer versions keep the cookies in Network/, older ones beside the history.
        for (const fs::path& cookies : {profile / "Network" / "Cookies", profile / "Cookies"}) {
          stores.AddFile(
              cookies,
              [&] {
                return std::make_unique<CookieDatabase>(cookies.string(), "cookies", "host_key",
                                                        stores.ReadOnly());
              },
              stores.cookies, "Cookie:");
        }
        const std::string history = (profile / "History").string();
        stores.AddFile(
            history,
            [&] {
              return std::make_unique<HistoryDatabase>(history, HistoryDatabase::Family::Chromium,
                                                       stores.ReadOnly());
            },
            stores.histories, "Visited: ");
      }
    }
    if (!folders.cache.empty()) {
      stores.AddCacheFolders({folders.cache, std::string("/") + browser}, "Cache",
                             IsChromiumProfile);
    }
  }
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

}  // namespace

BrowserFolders BrowserFolders::ForCurrentUser() {
  BrowserFolders folders;
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
    folders.home = home;
  }
  for (const ShellFolder& folder : CurrentShellFolders()) {
    if (folder.name == "AppData") {
      folders.config = folder.path;
    } else if (folder.name == "Cache") {
      folders.cache = folder.path;
    }
  }
  return folders;
}

std::vector<std::unique_ptr<TraceStore>> FindBrowserStores(const BrowserFolders& folders,
                                                           bool readOnly,
                                                           CacheKeyMemory* cacheKeys) {
  const std::vector<RunningBrowser> running = FindRunningBrowsers(folders);
  StoreList stores(cacheKeys, readOnly, running);
  AddFirefoxStores(folders, stores);
  AddChromiumStores(folders, stores);
  std::vector<std::unique_ptr<TraceStore>> all;
  for (auto* group : {&stores.cookies, &stores.histories, &stores.caches}) {
    for (auto& store : *group) {
      all.push_back(std::move(store));
    }
  }
  return all;
}

std::vector<RunningBrowser> FindRunningBrowsers(const BrowserFolders& folders) {
  std::vector<RunningBrowser> running;
  const FirefoxPlaces places = FirefoxPlacesOf(folders);
  for (const Place& root : places.profiles) {
    for (const fs::path& profile : ProfileFolders(root.Path())) {
      if (FirefoxProfileInUse(profile.string())) {
        RunningBrowser firefox{"Firefox", {profile.string()}};
        for (const Place& cache : places.caches) {
          firefox.folders.push_back(cache.Path() + "/" + profile.filename().string());
        }
        running.push_back(std::move(firefox));
      }
    }
  }
  for (const auto& [browser, name] : kChromiumFamily) {
    const std::string userData = folders.config.empty() ? "" : folders.config + "/" + browser;
    if (!userData.empty() && ChromiumUserDataInUse(userData)) {
      RunningBrowser chromium{name, {userData}};
      if (!folders.cache.empty()) {
        chromium.folders.push_back(folders.cache + "/" + browser);
      }
      running.push_back(std::move(chromium));
    }
  }
  return running;
}

std::vector<fs::path> SubFolders(const fs::path& folder, std::error_code& error) {
  std::vector<fs::path> found;
  error.clear();
  fs::directory_iterator entries(folder, error);
  for (const fs::directory_iterator end; !error && entries != end; entries.increment(error)) {
    std::error_code statusError;
    if (fs::is_directory(entries->status(statusError))) {
      found.push_back(entries->path());
    }
  }
  return found;
}

std::string FirefoxProfileRoot(const BrowserFolders& folders) {
  const std::string classic = folders.home.empty() ? "" : folders.home + "/.mozilla/firefox/";
  const std::string xdg = folders.config.empty() ? "" : folders.config + "/mozilla/firefox/";
  return !IsFolder(classic) && !xdg.empty() && IsFolder(xdg) ? xdg : classic;
}

}  // namespace hv
