// The URL cache of Linux over browser stores built by the tests, driven through the same
// walk and actions the cleaning run uses.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "TempFolder.h"
#include "clean/modCache.h"
#include "platform/posix/BrowserUrlCache.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::BrowserFixture;
using test::QueryRows;
using test::TempFolder;
using Names = std::vector<std::string>;

const std::string kFirefoxKey = ":https://mozilla.example/logo.png";
const std::string kChromiumKey = "1/0/_dk_https://c.example https://c.example/app.js";
const std::string kLowerCaseKey = "cookie:looks-like-a-cookie-but-is-a-cache-file";

// A home with one Firefox and one Chromium profile, each with a cookie, a visited page
// and cache files, one of which has no key that can be read.
class BrowserUrlCacheTest : public testing::Test {
 protected:
  BrowserUrlCacheTest()
      : browsers(temp / "home"),
        firefox(browsers.FirefoxProfile("abcd.default-release")),
        chromium(browsers.ChromiumProfile("chromium", "Default")),
        firefoxCacheFile(test::WriteFirefoxCacheFile(
            browsers.FirefoxCache("abcd.default-release") / "0A1B2C", kFirefoxKey)),
        chromiumCacheFile(test::WriteSimpleCacheFile(
            browsers.ChromiumCache("chromium", "Default") / "0123456789abcdef_0", kChromiumKey)),
        lowerCaseFile(test::WriteSimpleCacheFile(
            browsers.ChromiumCache("chromium", "Default") / "fedcba9876543210_0", kLowerCaseKey)),
        unreadableFile(temp.Write(
            "home/.cache/chromium/Default/Cache/Cache_Data/index-dir/the-real-index", "\x01\x02")) {
    test::AddFirefoxCookie(firefox, "sid", ".mozilla.example", "/");
    test::AddFirefoxPage(firefox, "https://mozilla.example/", 2);
    test::AddChromiumCookie(chromium / "Network" / "Cookies", "pref", "c.example", "/app");
    test::AddChromiumPage(chromium, "https://c.example/", 1);
  }

  // Every entry name of one complete walk, sorted.
  Names Walk() {
    Names names;
    for (bool more = walk.FindFirstEntry(); more; more = walk.FindNextEntry()) {
      names.push_back(walk.EntrySourceName());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  Names AllNames() const {
    Names names = {"Cookie:pref@c.example/app",
                   "Cookie:sid@.mozilla.example/",
                   "Visited: https://c.example/",
                   "Visited: https://mozilla.example/",
                   kFirefoxKey,
                   kChromiumKey,
                   kLowerCaseKey,
                   unreadableFile.string()};
    std::sort(names.begin(), names.end());
    return names;
  }

  static Names Without(Names names, const std::string& prefix) {
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const std::string& n) { return n.starts_with(prefix); }),
                names.end());
    return names;
  }

  TempFolder temp;
  BrowserFixture browsers;
  fs::path firefox;
  fs::path chromium;
  fs::path firefoxCacheFile;
  fs::path chromiumCacheFile;
  fs::path lowerCaseFile;
  fs::path unreadableFile;
  BrowserUrlCache cache{browsers.Folders()};
  modCache walk{cache};
};

TEST(BrowserUrlCacheEmptyTest, AHomeWithoutBrowsersHasNoEntries) {
  const TempFolder temp;
  const BrowserFixture browsers(temp / "home");
  BrowserUrlCache cache(browsers.Folders());
  modCache walk(cache);
  EXPECT_FALSE(walk.FindFirstEntry());
  EXPECT_FALSE(walk.FindNextEntry());
  EXPECT_EQ(walk.EntrySourceName(), "");
  DeleteCookies(walk);
  DeleteCacheFiles(walk);
  EXPECT_NO_THROW(ClearUrlHistory(cache));
  EXPECT_FALSE(cache.DeleteUrlCacheEntry("Cookie:a@b/"));
}

TEST_F(BrowserUrlCacheTest, TheWalkNamesEveryTrace) {
  EXPECT_EQ(Walk(), AllNames());
}

TEST_F(BrowserUrlCacheTest, DeleteCookiesTakesTheCookiesOnly) {
  DeleteCookies(walk);
  EXPECT_EQ(Walk(), Without(AllNames(), "Cookie:"));
  EXPECT_TRUE(QueryRows(firefox / "cookies.sqlite", "SELECT * FROM moz_cookies").empty());
  EXPECT_TRUE(QueryRows(chromium / "Network" / "Cookies", "SELECT * FROM cookies").empty());
  EXPECT_TRUE(fs::exists(lowerCaseFile));
}

TEST_F(BrowserUrlCacheTest, DeleteCacheFilesKeepsCookiesAndVisits) {
  DeleteCacheFiles(walk);
  EXPECT_EQ(Walk(), (Names{"Cookie:pref@c.example/app", "Cookie:sid@.mozilla.example/",
                           "Visited: https://c.example/", "Visited: https://mozilla.example/"}));
  for (const fs::path& file :
       {firefoxCacheFile, chromiumCacheFile, lowerCaseFile, unreadableFile}) {
    EXPECT_FALSE(fs::exists(file)) << file;
  }
  EXPECT_TRUE(fs::exists(browsers.ChromiumCache("chromium", "Default")));
}

TEST_F(BrowserUrlCacheTest, TwoWalksInARow) {
  DeleteCookies(walk);
  DeleteCookies(walk);
  EXPECT_EQ(Walk(), Without(AllNames(), "Cookie:"));
  DeleteCacheFiles(walk);
  DeleteCacheFiles(walk);
  EXPECT_EQ(Walk(), (Names{"Visited: https://c.example/", "Visited: https://mozilla.example/"}));
}

TEST_F(BrowserUrlCacheTest, DeletionsOfAWalkLandWhenItEnds) {
  const fs::path cookies = firefox / "cookies.sqlite";
  ASSERT_TRUE(walk.FindFirstEntry());
  EXPECT_TRUE(walk.DeleteEntry("Cookie:sid@.mozilla.example/"));
  EXPECT_EQ(QueryRows(cookies, "SELECT name FROM moz_cookies"), Names{"sid"});
  while (walk.FindNextEntry()) {
  }
  EXPECT_TRUE(QueryRows(cookies, "SELECT name FROM moz_cookies").empty());
}

TEST_F(BrowserUrlCacheTest, ADeletionOutsideAWalkLandsAtOnce) {
  EXPECT_TRUE(cache.DeleteUrlCacheEntry("Cookie:pref@c.example/app"));
  EXPECT_TRUE(QueryRows(chromium / "Network" / "Cookies", "SELECT * FROM cookies").empty());
  EXPECT_FALSE(cache.DeleteUrlCacheEntry("Cookie:pref@c.example/app"));
  EXPECT_TRUE(cache.DeleteUrlCacheEntry(kChromiumKey));
  EXPECT_FALSE(fs::exists(chromiumCacheFile));
}

TEST_F(BrowserUrlCacheTest, ANameHeldByTwoStoresGoesFromBoth) {
  const fs::path second = browsers.ChromiumProfile("google-chrome", "Profile 1");
  test::AddChromiumCookie(second / "Network" / "Cookies", "pref", "c.example", "/app");
  EXPECT_TRUE(cache.DeleteUrlCacheEntry("Cookie:pref@c.example/app"));
  EXPECT_TRUE(QueryRows(chromium / "Network" / "Cookies", "SELECT * FROM cookies").empty());
  EXPECT_TRUE(QueryRows(second / "Network" / "Cookies", "SELECT * FROM cookies").empty());
}

TEST_F(BrowserUrlCacheTest, DeletingAVisitedPageForgetsItsVisits) {
  EXPECT_TRUE(cache.DeleteUrlCacheEntry("Visited: https://mozilla.example/"));
  EXPECT_TRUE(QueryRows(firefox / "places.sqlite", "SELECT * FROM moz_historyvisits").empty());
  EXPECT_TRUE(cache.DeleteUrlCacheEntry("Visited: https://c.example/"));
  EXPECT_TRUE(QueryRows(chromium / "History", "SELECT * FROM visits").empty());
  EXPECT_EQ(Walk(), Without(AllNames(), "Visited:"));
}

TEST_F(BrowserUrlCacheTest, ClearingTheHistoryKeepsBookmarksCookiesAndCache) {
  const int64_t bookmarked = test::AddFirefoxPage(firefox, "https://kept.example/", 3, true);
  ClearUrlHistory(cache);

  const fs::path places = firefox / "places.sqlite";
  EXPECT_TRUE(QueryRows(places, "SELECT * FROM moz_historyvisits").empty());
  EXPECT_TRUE(QueryRows(places, "SELECT * FROM moz_historyvisits_extra").empty());
  EXPECT_EQ(QueryRows(places, "SELECT id, url, visit_count, last_visit_date FROM moz_places"),
            Names{std::to_string(bookmarked) + "|https://kept.example/|0|NULL"});
  EXPECT_EQ(QueryRows(places, "SELECT place_id FROM moz_annos"), Names{std::to_string(bookmarked)});
  EXPECT_EQ(QueryRows(places, "SELECT place_id FROM moz_inputhistory"),
            Names{std::to_string(bookmarked)});
  EXPECT_EQ(QueryRows(places, "SELECT host FROM moz_origins"), Names{"https://kept.example/"});
  EXPECT_EQ(QueryRows(places, "SELECT count(*) FROM moz_bookmarks"), Names{"1"});

  const fs::path history = chromium / "History";
  for (const char* table :
       {"urls", "visits", "visit_source", "keyword_search_terms", "segments", "segment_usage"}) {
    EXPECT_EQ(QueryRows(history, std::string("SELECT count(*) FROM ") + table), Names{"0"})
        << table;
  }
  EXPECT_EQ(Walk(), Without(AllNames(), "Visited:"));
}

// How another program (the browser) can hold a store.
struct LockCase {
  const char* name;
  const char* sql;
};

class LockedStoreTest : public BrowserUrlCacheTest, public testing::WithParamInterface<LockCase> {
 protected:
  // Holds the Firefox databases as a running browser would, for the life of the test.
  void LockFirefox() {
    for (const char* file : {"cookies.sqlite", "places.sqlite"}) {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open((firefox / file).c_str(), &db), SQLITE_OK);
      held.push_back(db);
      ASSERT_EQ(sqlite3_exec(db, GetParam().sql, nullptr, nullptr, nullptr), SQLITE_OK);
    }
  }
  ~LockedStoreTest() override {
    for (sqlite3* db : held) {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      sqlite3_close(db);
    }
  }
  std::vector<sqlite3*> held;
};

TEST_P(LockedStoreTest, ItsEntriesStayAndTheOthersGo) {
  LockFirefox();
  DeleteCookies(walk);
  EXPECT_THROW(ClearUrlHistory(cache), NumberedError);
  DeleteCacheFiles(walk);
  for (sqlite3* db : held) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  held.clear();

  EXPECT_EQ(QueryRows(firefox / "cookies.sqlite", "SELECT name FROM moz_cookies"), Names{"sid"});
  EXPECT_EQ(QueryRows(firefox / "places.sqlite", "SELECT count(*) FROM moz_historyvisits"),
            Names{"2"});
  EXPECT_TRUE(QueryRows(chromium / "Network" / "Cookies", "SELECT * FROM cookies").empty());
  EXPECT_TRUE(QueryRows(chromium / "History", "SELECT * FROM visits").empty());
  EXPECT_FALSE(fs::exists(firefoxCacheFile));
}

INSTANTIATE_TEST_SUITE_P(
    Locks, LockedStoreTest,
    testing::Values(LockCase{"writing", "BEGIN IMMEDIATE"},
                    LockCase{"exclusive", "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE"}),
    [](const testing::TestParamInfo<LockCase>& info) { return std::string(info.param.name); });

TEST_F(BrowserUrlCacheTest, OlderSchemasAreCleanedAsFarAsTheyGo) {
  const fs::path old = browsers.ChromiumProfile("vivaldi", "Profile 2", true);
  test::AddChromiumCookie(old / "Cookies", "old", "v.example", "/");
  test::AddChromiumPage(old, "https://v.example/", 2);
  test::ExecSql(firefox / "places.sqlite",
                "DROP TABLE moz_origins; DROP TABLE moz_keywords; DROP TABLE moz_annos;"
                "ALTER TABLE moz_places DROP COLUMN last_visit_date");
  EXPECT_EQ(Walk().size(), AllNames().size() + 2);

  DeleteCookies(walk);
  ClearUrlHistory(cache);
  EXPECT_TRUE(QueryRows(old / "Cookies", "SELECT * FROM cookies").empty());
  EXPECT_TRUE(QueryRows(old / "History", "SELECT * FROM urls").empty());
  EXPECT_TRUE(QueryRows(firefox / "places.sqlite", "SELECT * FROM moz_places").empty());
}

TEST_F(BrowserUrlCacheTest, BrokenStoresArePassedOver) {
  // Not a database at all, and a cookie table without the columns that name a cookie.
  temp.Write("home/.mozilla/firefox/broken.default/cookies.sqlite", "not a database");
  temp.Write("home/.mozilla/firefox/broken.default/places.sqlite", "");
  const fs::path odd = browsers.ChromiumProfile("microsoft-edge", "Default");
  test::ExecSql(odd / "Network" / "Cookies",
                "DROP TABLE cookies; CREATE TABLE cookies (x);"
                "INSERT INTO cookies VALUES (1)");
  EXPECT_EQ(Walk(), AllNames());
  DeleteCookies(walk);
  EXPECT_EQ(Walk(), Without(AllNames(), "Cookie:"));
  EXPECT_EQ(QueryRows(odd / "Network" / "Cookies", "SELECT x FROM cookies"), Names{"1"});
}

TEST_F(BrowserUrlCacheTest, AStoreReachedTwiceIsListedOnce) {
  fs::create_directories(browsers.config / "mozilla");
  fs::create_directory_symlink(browsers.home / ".mozilla" / "firefox",
                               browsers.config / "mozilla" / "firefox");
  EXPECT_EQ(Walk(), AllNames());
}

TEST_F(BrowserUrlCacheTest, OddBytesInNamesAreKeptAsTheyAre) {
  const std::string name = std::string("n\xff\x01;@") + "\xc3\xa9";
  test::AddFirefoxCookie(firefox, name, "odd.example", "/p");
  const std::string entry = "Cookie:" + name + "@odd.example/p";
  Names names = Walk();
  EXPECT_NE(std::find(names.begin(), names.end(), entry), names.end());
  EXPECT_TRUE(cache.DeleteUrlCacheEntry(entry));
  EXPECT_EQ(QueryRows(firefox / "cookies.sqlite", "SELECT name FROM moz_cookies"), Names{"sid"});
}

}  // namespace
}  // namespace hv
