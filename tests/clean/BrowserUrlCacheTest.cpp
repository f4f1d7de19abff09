// The URL cache of Linux over browser stores built by the tests, driven through the same
// walk and actions the cleaning run uses.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "TempFolder.h"
#include "clean/modCache.h"
#include "platform/posix/browser/BrowserUrlCache.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::kChromiumKey;
using test::kFirefoxKey;
using test::QueryRows;
using Names = std::vector<std::string>;

const std::string kLowerCaseKey = "cookie:looks-like-a-cookie-but-is-a-cache-file";
const std::string kFirefoxCookie = "Cookie:sid@.mozilla.example/";
const std::string kChromiumCookie = "Cookie:pref@c.example/app";
constexpr const char* kChromiumCache = "home/.cache/chromium/Default/Cache/Cache_Data/";

// A home with one Firefox and one Chromium profile, each with a cookie, a visited page
// and cache files, one of which has no key that can be read.
class BrowserUrlCacheTest : public testing::Test {
 protected:
  BrowserUrlCacheTest()
      : browsers(temp / "home"),
        firefox(browsers.FirefoxProfile("abcd.default-release")),
        chromium(browsers.ChromiumProfile("chromium", "Default")),
        firefoxCacheFile(temp.Write("home/.cache/mozilla/firefox/abcd.default-release/cache2/"
                                    "entries/0A1B2C",
                                    test::FirefoxCacheBytes(kFirefoxKey))),
        chromiumCacheFile(CacheFile("0123456789abcdef_0", test::SimpleCacheBytes(kChromiumKey))),
        lowerCaseFile(CacheFile("fedcba9876543210_0", test::SimpleCacheBytes(kLowerCaseKey))),
        unreadableFile(CacheFile("index-dir/the-real-index", "\x01\x02")) {
    test::AddFirefoxCookie(firefox, "sid", ".mozilla.example", "/");
    test::AddFirefoxPage(firefox, "https://mozilla.example/", 2);
    test::AddChromiumCookie(chromium / "Network" / "Cookies", "pref", "c.example", "/app");
    test::AddChromiumPage(chromium, "https://c.example/", 1);
  }

  fs::path CacheFile(const std::string& name, const std::string& bytes) const {
    return temp.Write(kChromiumCache + name, bytes);
  }

  Names Walk() { return test::WalkNames(walk); }

  // The names of the fixture's traces, sorted, without those of the kinds left out.
  Names AllNames(bool cookies = true, bool visits = true, bool files = true) const {
    Names names;
    if (cookies) {
      names.insert(names.end(), {kChromiumCookie, kFirefoxCookie});
    }
    if (visits) {
      names.insert(names.end(),
                   {"Visited: https://c.example/", "Visited: https://mozilla.example/"});
    }
    if (files) {
      names.insert(names.end(),
                   {kFirefoxKey, kChromiumKey, kLowerCaseKey, unreadableFile.string()});
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempFolder temp;
  test::BrowserFixture browsers;
  fs::path firefox;
  fs::path chromium;
  fs::path firefoxCacheFile;
  fs::path chromiumCacheFile;
  fs::path lowerCaseFile;
  fs::path unreadableFile;
  BrowserUrlCache cache{browsers.Folders()};
  modCache walk{cache};
  std::string reason;
};

TEST(BrowserUrlCacheEmptyTest, AHomeWithoutBrowsersHasNoEntries) {
  const test::TempFolder temp;
  const test::BrowserFixture browsers(temp / "home");
  BrowserUrlCache cache(browsers.Folders());
  modCache walk(cache);
  std::string reason;
  EXPECT_FALSE(walk.FindFirstEntry());
  test::RunAction(DeleteCookies, walk);
  test::RunAction(DeleteCacheFiles, walk);
  EXPECT_NO_THROW(test::RunAction(ClearUrlHistory, walk));
  EXPECT_FALSE(cache.DeleteUrlCacheEntry("Cookie:a@b/", reason));
}

struct ActionsCase {
  const char* actions;  // in order: C DeleteCookies, H ClearUrlHistory, F DeleteCacheFiles
  bool cookiesLeft, visitsLeft, filesLeft;
};

class ActionsTest : public BrowserUrlCacheTest, public testing::WithParamInterface<ActionsCase> {};

// A cookie with odd bytes in its name, and one that a second profile holds as well (listed
// once per store), go like any other.
TEST_P(ActionsTest, EachActionTakesItsOwnKindOnly) {
  const ActionsCase& c = GetParam();
  const fs::path second = browsers.ChromiumProfile("google-chrome", "Profile 1");
  test::AddChromiumCookie(second / "Network" / "Cookies", "pref", "c.example", "/app");
  const std::string odd = std::string("n\xff\x01;@") + "\xc3\xa9";
  test::AddFirefoxCookie(firefox, odd, "odd.example", "/p");
  Names expected = AllNames(c.cookiesLeft, c.visitsLeft, c.filesLeft);
  if (c.cookiesLeft) {
    expected.insert(expected.end(), {"Cookie:" + odd + "@odd.example/p", kChromiumCookie});
    std::sort(expected.begin(), expected.end());
  }
  for (const char* action = c.actions; *action != '\0'; ++action) {
    if (*action == 'C') {
      test::RunAction(DeleteCookies, walk);
    } else if (*action == 'H') {
      test::RunAction(ClearUrlHistory, walk);
    } else {
      test::RunAction(DeleteCacheFiles, walk);
    }
  }
  EXPECT_EQ(Walk(), expected);
  EXPECT_EQ(fs::exists(lowerCaseFile), c.filesLeft);
  EXPECT_TRUE(fs::exists(browsers.cache / "chromium/Default/Cache/Cache_Data"));
}

INSTANTIATE_TEST_SUITE_P(Runs, ActionsTest,
                         testing::Values(ActionsCase{"CC", false, true, true},
                                         ActionsCase{"H", true, false, true},
                                         ActionsCase{"FF", true, true, false}),
                         [](const testing::TestParamInfo<ActionsCase>& info) {
                           return info.param.actions;
                         });

// Deletions of a walk land when it ends, and only where the row still holds the cookie
// listed: the browser may give a listed row to another cookie meanwhile.
TEST_F(BrowserUrlCacheTest, DeletionsOfAWalkLandWhenItEndsOnTheRowsStillListed) {
  // Row ids 1 to 5; 3 and 5 go, so the deletions are not one run of ids.
  for (const char* name : {"a", "b", "c", "d"}) {
    test::AddFirefoxCookie(firefox, name, ".mozilla.example", "/");
  }
  const fs::path cookies = firefox / "cookies.sqlite";
  ASSERT_TRUE(walk.FindFirstEntry());
  test::ExecSql(cookies, "UPDATE moz_cookies SET name = 'other' WHERE name = 'sid'");
  EXPECT_FALSE(walk.DeleteEntry(kFirefoxCookie, reason));
  for (const char* name : {"Cookie:b@.mozilla.example/", "Cookie:d@.mozilla.example/"}) {
    EXPECT_TRUE(walk.DeleteEntry(name, reason)) << name;
    EXPECT_FALSE(walk.DeleteEntry(name, reason)) << name;
  }
  EXPECT_EQ(QueryRows(cookies, "SELECT name FROM moz_cookies").size(), 5u);
  while (walk.FindNextEntry()) {
  }
  EXPECT_EQ(QueryRows(cookies, "SELECT name FROM moz_cookies"), (Names{"other", "a", "c"}));
}

TEST_F(BrowserUrlCacheTest, ClearingTheHistoryKeepsBookmarks) {
  const int64_t bookmarked = test::AddFirefoxPage(firefox, "https://kept.example/", 3, true);
  test::RunAction(ClearUrlHistory, walk);

  const std::string id = std::to_string(bookmarked);
  for (const auto& [sql, rows] : std::vector<std::pair<std::string, Names>>{
           {"SELECT id, url, visit_count, last_visit_date FROM moz_places",
            {id + "|https://kept.example/|0|NULL"}},
           {"SELECT place_id FROM moz_annos", {id}},
           {"SELECT host FROM moz_origins", {"https://kept.example/"}},
           {"SELECT count(*) FROM moz_bookmarks", {"1"}},
           {"SELECT count(*) FROM moz_historyvisits", {"0"}}}) {
    EXPECT_EQ(QueryRows(firefox / "places.sqlite", sql), rows) << sql;
  }
  for (const char* table : {"urls", "visits", "keyword_search_terms", "segments"}) {
    EXPECT_EQ(QueryRows(chromium / "History", std::string("SELECT count(*) FROM ") + table),
              Names{"0"})
        << table;
  }
}

// The keys of cache files, read on several threads when there are many and without
// touching the files' access times, are remembered between walks but never past a change
// of file.
TEST_F(BrowserUrlCacheTest, TheKeysNamedFollowTheFiles) {
  const timespec longAgo[2] = {{86400, 0}, {0, UTIME_OMIT}};
  ASSERT_EQ(utimensat(AT_FDCWD, chromiumCacheFile.c_str(), longAgo, 0), 0);
  Names expected = AllNames();
  for (int n = 0; n < 600; ++n) {
    const std::string key = "1/0/_dk_https://m.example https://m.example/" + std::to_string(n);
    const fs::path written = CacheFile("many/" + std::to_string(n) + "_0",
                                       n % 7 == 0 ? "no key" : test::SimpleCacheBytes(key));
    expected.push_back(n % 7 == 0 ? written.string() : key);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Walk(), expected);
  struct stat info {};
  ASSERT_EQ(stat(chromiumCacheFile.c_str(), &info), 0);
  EXPECT_EQ(info.st_atim.tv_sec, 86400);

  const std::string newKey = "1/0/_dk_https://c.example https://c.example/new.js";
  fs::rename(CacheFile("replacement", test::SimpleCacheBytes(newKey)), chromiumCacheFile);
  std::replace(expected.begin(), expected.end(), kChromiumKey, newKey);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Walk(), expected);
}

// The Firefox stores held as a running browser holds them, writing and then exclusively:
// their entries stay, the walk goes on to the others and ends promptly.
TEST_F(BrowserUrlCacheTest, ALockedStoresEntriesStayAndTheOthersGo) {
  for (const char* lock : {"BEGIN IMMEDIATE", "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE"}) {
    SCOPED_TRACE(lock);
    std::vector<sqlite3*> held;
    for (const char* file : {"cookies.sqlite", "places.sqlite"}) {
      ASSERT_EQ(sqlite3_open((firefox / file).c_str(), &held.emplace_back()), SQLITE_OK);
      ASSERT_EQ(sqlite3_exec(held.back(), lock, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    test::RunAction(DeleteCookies, walk);
    EXPECT_THROW(test::RunAction(ClearUrlHistory, walk), NumberedError);
    test::RunAction(DeleteCacheFiles, walk);
    for (sqlite3* db : held) {
      sqlite3_close(db);  // rolls the open transaction back
    }

    EXPECT_EQ(Walk(), (Names{kFirefoxCookie, "Visited: https://mozilla.example/"}));
    EXPECT_EQ(QueryRows(firefox / "places.sqlite", "SELECT count(*) FROM moz_historyvisits"),
              Names{"2"});
  }
}

TEST_F(BrowserUrlCacheTest, OlderSchemasAreCleanedAsFarAsTheyGo) {
  const fs::path old = browsers.ChromiumProfile("vivaldi", "Profile 2", true);
  test::AddChromiumCookie(old / "Cookies", "old", "v.example", "/");
  test::AddChromiumPage(old, "https://v.example/", 2);
  test::ExecSql(firefox / "places.sqlite",
                "DROP TABLE moz_origins; DROP TABLE moz_annos;"
                "ALTER TABLE moz_places DROP COLUMN last_visit_date");
  EXPECT_EQ(Walk().size(), AllNames().size() + 2);

  test::RunAction(DeleteCookies, walk);
  test::RunAction(ClearUrlHistory, walk);
  EXPECT_TRUE(QueryRows(old / "Cookies", "SELECT * FROM cookies").empty());
  EXPECT_TRUE(QueryRows(old / "History", "SELECT * FROM urls").empty());
  EXPECT_TRUE(QueryRows(firefox / "places.sqlite", "SELECT * FROM moz_places").empty());
}

// A file that is no database is reported as left, with SQLite's words; a database without
// the table, or with a table of another layout, holds nothing of the kind.
TEST_F(BrowserUrlCacheTest, BrokenAndTwiceReachedStoresArePassedOver) {
  // Not a database at all, and a cookie table without the columns that name a cookie.
  const fs::path broken =
      temp.Write("home/.mozilla/firefox/broken.default/cookies.sqlite", "not a database");
  temp.Write("home/.mozilla/firefox/broken.default/places.sqlite", "");
  const fs::path odd = browsers.ChromiumProfile("microsoft-edge", "Default");
  test::ExecSql(odd / "Network" / "Cookies",
                "DROP TABLE cookies; CREATE TABLE cookies (x); INSERT INTO cookies VALUES (1)");
  // The same profiles again through a linked folder.
  fs::create_directories(browsers.config / "mozilla");
  fs::create_directory_symlink(browsers.home / ".mozilla/firefox",
                               browsers.config / "mozilla/firefox");
  const std::string brokenName = "Cookie:" + broken.string();
  Names expected = AllNames();
  expected.push_back(brokenName);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Walk(), expected);
  const ReportEntry brokenLeft{EntryType::kCookie, broken.string(), std::nullopt,
                               EntryOutcome::kLeft, "file is not a database"};
  for (const bool preview : {true, false}) {
    const std::vector<ReportEntry> reported = test::RunAction(DeleteCookies, walk, preview);
    EXPECT_EQ(std::count(reported.begin(), reported.end(), brokenLeft), 1) << preview;
  }
  expected = AllNames(false);
  expected.push_back(brokenName);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Walk(), expected);
  EXPECT_EQ(QueryRows(odd / "Network" / "Cookies", "SELECT x FROM cookies"), Names{"1"});
}

}  // namespace
}  // namespace hv
