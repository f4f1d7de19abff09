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
#include "platform/posix/browser/BrowserInstalls.h"
#include "platform/posix/browser/CacheFolder.h"
#include "platform/posix/browser/CookieDatabase.h"
#include "platform/posix/browser/FaviconDatabase.h"
#include "platform/posix/browser/HistoryDatabase.h"
#include "platform/posix/browser/LeftStore.h"
#include "platform/posix/browser/ProfileLock.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

// Collects the stores, each file or folder once however many paths lead to it.
class StoreList {
 public:
  StoreList(CacheKeyMemory* cacheKeys, bool readOnly, std::vector<RunningBrowser> running)
      : cacheKeys_(cacheKeys), readOnly_(readOnly), running_(std::move(running)) {}

  bool ReadOnly() const { return readOnly_; }

  // A database, wherever links lead to it: only rows inside it are deleted. One of a
  // running browser is left, named as its own store names itself (prefix and path).
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

  // The cache folder store in every profile folder of place that isProfile takes.
  void AddCacheFolders(const Place& place, const char* store,
                       bool (*isProfile)(const std::string&)) {
    const NoFollowFolder profiles = NoFollowFolder::OpenBase(place.base).OpenBelow(place.below);
    for (const std::string& name : FolderEntryNames(profiles.Fd())) {
      if (isProfile(name)) {
        AddCacheFolder(profiles, place.Path(), name, store);
      }
    }
  }

  // The cache folder store of the profile name in the open folder profiles, at path. Its
  // files are deleted, so neither it nor any folder between it and the place's base may be
  // a link; one that is reached through a link (a profile kept in memory by a sync daemon)
  // is listed as left.
  void AddCacheFolder(const NoFollowFolder& profiles, const std::string& path,
                      const std::string& name, const char* store) {
    const std::string storePath = path + "/" + name + "/" + store;
    NoFollowFolder folder = profiles.Open(name.c_str()).Open(store);
    struct stat info {};
    if (folder.Stat(info) && InRunningBrowser(storePath)) {
      if (IsNew(info)) {
        caches.push_back(
            std::make_unique<LeftStore>(storePath, storePath, LeftReason::kBrowserOpen));
      }
    } else if (folder.Stat(info)) {
      if (IsNew(info)) {
        caches.push_back(std::make_unique<CacheFolder>(std::move(folder), storePath, cacheKeys_));
      }
    } else if (const std::string below = name + "/" + store;
               fstatat(profiles.Fd(), below.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode) &&
               IsNew(info)) {
      caches.push_back(std::make_unique<LeftStore>(storePath, storePath, LeftReason::kLink));
    }
  }

  std::vector<std::unique_ptr<TraceStore>> cookies, histories, caches;

 private:
  bool IsNew(const struct stat& info) { return seen_.insert({info.st_dev, info.st_ino}).second; }

  bool InRunningBrowser(const std::string& path) const {
    return std::ranges::any_of(running_, [&path](const RunningBrowser& browser) {
      return std::ranges::any_of(
          browser.folders, [&path](const std::string& folder) { return path.starts_with(folder); });
    });
  }

  CacheKeyMemory* cacheKeys_;
  bool readOnly_;
  std::vector<RunningBrowser> running_;
  std::set<std::pair<dev_t, ino_t>> seen_;
};

bool AnyProfile(const std::string&) {
  return true;
}

void AddProfileDatabases(const BrowserProfile& profile, StoreList& stores) {
  const fs::path folder(profile.folder);
  const bool readOnly = stores.ReadOnly();
  const auto cookies = [&](const fs::path& path, const char* table, const char* host) {
    stores.AddFile(
        path,
        [&] { return std::make_unique<CookieDatabase>(path.string(), table, host, readOnly); },
        stores.cookies, "Cookie:");
  };
  const auto history = [&](const fs::path& path, HistoryDatabase::Family family) {
    stores.AddFile(
        path, [&] { return std::make_unique<HistoryDatabase>(path.string(), family, readOnly); },
        stores.histories, "Visited: ");
  };
  if (profile.family == BrowserFamily::kFirefox) {
    cookies(folder / "cookies.sqlite", "moz_cookies", "host");
    history(folder / "places.sqlite", HistoryDatabase::Family::Firefox);
    // After the history, so that its pages are gone by the time the icons are pruned.
    const fs::path places = folder / "places.sqlite";
    const fs::path favicons = folder / "favicons.sqlite";
    stores.AddFile(
        favicons,
        [&] {
          return std::make_unique<FaviconDatabase>(favicons.string(), places.string(), readOnly);
        },
        stores.histories, "Visited: ");
    return;
  }
  // Newer versions keep the cookies in Network/, older ones beside the history.
  for (const fs::path& path : {folder / "Network" / "Cookies", folder / "Cookies"}) {
    cookies(path, "cookies", "host_key");
  }
  history(folder / "History", HistoryDatabase::Family::Chromium);
}

void AddCacheStores(const BrowserInstall& install, StoreList& stores) {
  if (!install.caches.Known()) {
    return;
  }
  const bool firefox = install.family == BrowserFamily::kFirefox;
  const char* store = firefox ? "cache2" : "Cache";
  if (install.singleProfile) {
    const size_t last = install.caches.below.rfind('/');
    const Place parent{install.caches.base, install.caches.below.substr(0, last)};
    stores.AddCacheFolder(NoFollowFolder::OpenBase(parent.base).OpenBelow(parent.below),
                          parent.Path(), install.caches.below.substr(last + 1), store);
    return;
  }
  // A Firefox cache whose profile is gone is still the user's trace.
  stores.AddCacheFolders(install.caches, store, firefox ? AnyProfile : IsChromiumProfileName);
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
  StoreList stores(cacheKeys, readOnly, FindRunningBrowsers(folders));
  for (const BrowserProfile& profile : FindBrowserProfiles(folders).profiles) {
    AddProfileDatabases(profile, stores);
  }
  for (const BrowserInstall& install : BrowserInstalls(folders)) {
    AddCacheStores(install, stores);
  }
  std::vector<std::unique_ptr<TraceStore>> all;
  for (auto* group : {&stores.cookies, &stores.histories, &stores.caches}) {
    for (auto& store : *group) {
      all.push_back(std::move(store));
    }
  }
  return all;
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

}  // namespace hv
