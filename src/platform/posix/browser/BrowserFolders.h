#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/posix/browser/CacheKeyMemory.h"
#include "platform/posix/browser/TraceStore.h"

namespace hv {

// The user's folders that browsers keep their profiles and caches in. An empty folder
// means unknown; nothing is looked for below it.
struct BrowserFolders {
  std::string home;
  std::string config;  // XDG_CONFIG_HOME
  std::string cache;   // XDG_CACHE_HOME

  static BrowserFolders ForCurrentUser();
};

// Every trace store of the Firefox and Chromium-family profiles below folders that
// exists now: first the cookie databases, then the history databases, then the cache
// folders. The databases are found through linked profile folders as well; a cache folder
// is not when any folder below the base folder on its way is a link, since its files are
// deleted (it is listed as left instead). A store reached by two paths is taken once. The
// databases are opened read only when readOnly is set. The cache folders remember their
// keys in cacheKeys when it is given. The stores of a browser running on its profile are
// listed as left, untouched.
std::vector<std::unique_ptr<TraceStore>> FindBrowserStores(const BrowserFolders& folders,
                                                           bool readOnly,
                                                           CacheKeyMemory* cacheKeys = nullptr);

// The folders directly in folder, links to folders included, in the order the system lists
// them. None, with the reason in error, when folder cannot be listed.
std::vector<std::filesystem::path> SubFolders(const std::filesystem::path& folder,
                                              std::error_code& error);

}  // namespace hv
