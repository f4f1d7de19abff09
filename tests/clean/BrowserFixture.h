#pragma once

#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "clean/modCache.h"
#include "platform/posix/browser/BrowserFolders.h"

namespace hv::test {

// Browser stores built for one test below a folder of its own: a home with its config and
// cache folders, and in it Firefox and Chromium profiles with minimal databases of the
// real schemas.
struct BrowserFixture {
  explicit BrowserFixture(const std::filesystem::path& home);

  BrowserFolders Folders() const { return {home.string(), config.string(), cache.string()}; }

  // A Firefox profile folder with cookies.sqlite and places.sqlite, in the classic place or
  // at a path relative to home.
  std::filesystem::path FirefoxProfile(const std::string& name) const;
  std::filesystem::path FirefoxProfileAt(const std::string& relative) const;
  // A Chromium-family profile ("Default", "Profile 1") of browser ("chromium", ...); with
  // older set, the layout and schema of older versions (cookies beside the history, no
  // search terms or segments).
  std::filesystem::path ChromiumProfile(const std::string& browser, const std::string& name,
                                        bool older = false) const;
  // The same at a path relative to home.
  std::filesystem::path ChromiumProfileAt(const std::string& relative, bool older = false) const;

  const std::filesystem::path home;
  const std::filesystem::path config;
  const std::filesystem::path cache;
};

// Runs SQL on a database file (creating it); fails the test on an error.
void ExecSql(const std::filesystem::path& database, const std::string& sql);
// The rows of a query, each row's columns joined with '|'.
std::vector<std::string> QueryRows(const std::filesystem::path& database, const std::string& sql);

void AddFirefoxCookie(const std::filesystem::path& profile, const std::string& name,
                      const std::string& host, const std::string& path);
// A page with visits; with bookmarked set a bookmark refers to it as well. Returns its id.
int64_t AddFirefoxPage(const std::filesystem::path& profile, const std::string& url, int visits,
                       bool bookmarked = false);
void AddChromiumCookie(const std::filesystem::path& cookieDatabase, const std::string& name,
                       const std::string& host, const std::string& path);
void AddChromiumPage(const std::filesystem::path& profile, const std::string& url, int visits);

// The URL keys of a Firefox and of a Chromium cache file.
inline const std::string kFirefoxKey = ":https://mozilla.example/logo.png";
inline const std::string kChromiumKey = "1/0/_dk_https://c.example https://c.example/app.js";

// Every entry name of one complete walk, sorted.
std::vector<std::string> WalkNames(modCache& walk);

// Runs one action of the walk, for real or as a preview; what it reported.
std::vector<ReportEntry> RunAction(void (*action)(modCache&, const WalkReport&), modCache& walk,
                                   bool preview = false);

// Cache files as the browsers write them, with the URL key inside.
std::string SimpleCacheBytes(const std::string& key);
std::string FirefoxCacheBytes(const std::string& key, size_t dataSize = 100, uint32_t version = 3);

}  // namespace hv::test
