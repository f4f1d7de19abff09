// What the cookie, history and cache-file actions report over browser stores built by the
// tests: a preview changes nothing and names exactly what the cleaning then removes, a
// store a browser holds is reported left, and a stopped walk keeps exactly what it reported.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "RecordingSink.h"
#include "TempFolder.h"
#include "clean/modCache.h"
#include "platform/posix/browser/BrowserUrlCache.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using Entries = std::vector<ReportEntry>;
using Action = void (*)(modCache&, const WalkReport&);

constexpr const char* kCacheFolder = "home/.cache/chromium/Default/Cache/Cache_Data/";

// Every file, folder and link below root with what it holds: a file's bytes, a link's
// target, a folder's mode. Of a store's "-shm" file only that it is there counts: it is
// SQLite's shared memory for the readers of a store in WAL mode, which every reader, the
// browser's too, marks; it holds none of the store's data.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> found;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    const std::string path = entry.path().string();
    if (path.ends_with("-shm")) {
      found[path] = "shared memory";
      continue;
    }
    if (entry.is_symlink()) {
      found[path] = "link to " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      found[path] = "folder " + std::to_string(static_cast<int>(entry.status().permissions()));
    } else {
      std::ifstream file(entry.path(), std::ios::binary);
      found[path] = std::string(std::istreambuf_iterator<char>(file), {});
    }
  }
  return found;
}

// The paths that differ between two snapshots.
std::vector<std::string> Changes(const std::map<std::string, std::string>& before,
                                 const std::map<std::string, std::string>& after) {
  std::vector<std::string> changed;
  for (const auto& [path, content] : before) {
    const auto found = after.find(path);
    if (found == after.end() || found->second != content) {
      changed.push_back(path);
    }
  }
  for (const auto& [path, content] : after) {
    if (!before.contains(path)) {
      changed.push_back(path);
    }
  }
  return changed;
}

// Runs sql on database in WAL mode and leaves the change in the log, not yet in the database
// file, as a browser that was just closed may: whoever opens the store for writing next
// moves it over when done.
void LeaveInLog(const fs::path& database, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr), SQLITE_OK);
  const std::string all = "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; " + sql;
  EXPECT_EQ(sqlite3_exec(db, all.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  ASSERT_TRUE(fs::exists(database.string() + "-wal"));
}

// A Firefox and a Chromium profile with cookies, visited pages and cache files of several
// sizes; the last Firefox changes still in the stores' logs.
class WebTracesReportTest : public testing::Test {
 protected:
  WebTracesReportTest()
      : browsers(temp / "home"),
        firefox(browsers.FirefoxProfile("abcd.default-release")),
        chromium(browsers.ChromiumProfile("chromium", "Default")) {
    for (const char* name : {"sid", "theme", "lang"}) {
      test::AddFirefoxCookie(firefox, name, ".mozilla.example", "/");
    }
    test::AddChromiumCookie(chromium / "Network" / "Cookies", "pref", "c.example", "/app");
    test::AddFirefoxPage(firefox, "https://mozilla.example/", 2);
    test::AddFirefoxPage(firefox, "https://kept.example/", 1, true);
    LeaveInLog(firefox / "cookies.sqlite",
               "INSERT INTO moz_cookies (name, host, path) VALUES ('late', 'late.example', '/')");
    LeaveInLog(firefox / "places.sqlite",
               "INSERT INTO moz_places (id, url) VALUES (100, 'https://late.example/');"
               "INSERT INTO moz_historyvisits (place_id) VALUES (100)");
    test::AddChromiumPage(chromium, "https://c.example/", 3);
    for (int n = 0; n < 4; ++n) {
      temp.Write(kCacheFolder + std::to_string(n) + "_0",
                 test::SimpleCacheBytes("1/0/_dk_https://c.example https://c.example/" +
                                        std::to_string(n)) +
                     std::string(static_cast<size_t>(n) * 5000, 'x'));
    }
  }

  Entries Run(Action action, bool preview) { return test::RunAction(action, walk, preview); }

  test::TempFolder temp;
  test::BrowserFixture browsers;
  fs::path firefox;
  fs::path chromium;
  BrowserUrlCache cache{browsers.Folders()};
  modCache walk{cache};
};

struct KindCase {
  const char* name;
  Action action;
  EntryType type;
  size_t count;
};

class PreviewTest : public WebTracesReportTest, public testing::WithParamInterface<KindCase> {};

// The preview leaves every byte and every name below the home as it was, and its entries
// are, one for one, those the cleaning then reports removed; the cleaning leaves none.
TEST_P(PreviewTest, APreviewChangesNothingAndNamesWhatTheCleaningRemoves) {
  const KindCase& c = GetParam();
  const auto before = Snapshot(temp.Path());
  const Entries previewed = Run(c.action, true);
  EXPECT_EQ(Changes(before, Snapshot(temp.Path())), std::vector<std::string>{});
  ASSERT_EQ(previewed.size(), c.count);

  const Entries cleaned = Run(c.action, false);
  ASSERT_EQ(cleaned.size(), previewed.size());
  for (size_t n = 0; n < cleaned.size(); ++n) {
    EXPECT_EQ(previewed[n].type, c.type);
    EXPECT_EQ(previewed[n].outcome, EntryOutcome::kWouldBeRemoved);
    EXPECT_EQ(cleaned[n].outcome, EntryOutcome::kRemoved) << cleaned[n].reason;
    EXPECT_EQ(cleaned[n].what, previewed[n].what);
    EXPECT_EQ(cleaned[n].bytes, previewed[n].bytes);
  }
  EXPECT_TRUE(Run(c.action, true).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PreviewTest,
    testing::Values(KindCase{"cookies", DeleteCookies, EntryType::kCookie, 5},
                    KindCase{"history", ClearUrlHistory, EntryType::kHistoryEntry, 4},
                    KindCase{"cache_files", DeleteCacheFiles, EntryType::kCacheFile, 4}),
    [](const testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

// Entries are shown as the user reads them: the cookie's site, the page's address, and a
// cache file's key with the blocks it takes on disk.
TEST_F(WebTracesReportTest, EntriesAreShownByTheirSiteAddressAndSize) {
  const Entries cookies = Run(DeleteCookies, true);
  EXPECT_EQ(cookies.front().what, "cookie of mozilla.example");
  EXPECT_EQ(cookies.back().what, "cookie of c.example");
  EXPECT_FALSE(cookies.front().bytes);
  EXPECT_EQ(Run(ClearUrlHistory, true).front().what, "https://mozilla.example/");
  for (const ReportEntry& file : Run(DeleteCacheFiles, true)) {
    const std::string name = file.what.substr(file.what.rfind('/') + 1);
    struct stat info {};
    ASSERT_EQ(stat((temp / kCacheFolder / (name + "_0")).c_str(), &info), 0) << file.what;
    EXPECT_EQ(file.bytes, static_cast<uint64_t>(info.st_blocks) * 512) << file.what;
  }
}

// Held by a running browser: writing, each of the store's entries is left; holding it
// exclusively, the store itself is, since not even its rows can be read. Either way with the
// reason, and the other stores are cleaned (in the first round; the second finds them
// clean).
TEST_F(WebTracesReportTest, AStoreABrowserHoldsIsReportedLeft) {
  const struct {
    const char* lock;
    bool rowsReadable;
  } cases[] = {{"BEGIN IMMEDIATE", true},
               {"PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lock);
    const fs::path store = firefox / "cookies.sqlite";
    sqlite3* held = nullptr;
    ASSERT_EQ(sqlite3_open(store.c_str(), &held), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(held, c.lock, nullptr, nullptr, nullptr), SQLITE_OK);
    const Entries reported = Run(DeleteCookies, false);
    sqlite3_close(held);

    Entries expected;
    if (c.rowsReadable) {
      for (const char* site :
           {"mozilla.example", "mozilla.example", "mozilla.example", "late.example"}) {
        expected.push_back({EntryType::kCookie, std::string("cookie of ") + site, std::nullopt,
                            EntryOutcome::kLeft, LeftReason::kBrowserOpen});
      }
    } else {
      expected.push_back({EntryType::kCookie, store.string(), std::nullopt, EntryOutcome::kLeft,
                          LeftReason::kBrowserOpen});
    }
    if (&c == cases) {
      expected.push_back(
          {EntryType::kCookie, "cookie of c.example", std::nullopt, EntryOutcome::kRemoved, {}});
    }
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(test::QueryRows(store, "SELECT count(*) FROM moz_cookies"),
              std::vector<std::string>{"4"});
  }
}

// A stop request ends the walk between two entries: what was reported removed is exactly
// what is gone, the rest stays, and the stores are whole.
TEST_F(WebTracesReportTest, AStoppedWalkKeepsExactlyWhatItReported) {
  const struct {
    Action action;
    std::string count;  // what is left of the kind, counted
  } cases[] = {
      {DeleteCookies, "SELECT count(*) FROM moz_cookies"},
      {ClearUrlHistory, "SELECT count(DISTINCT place_id) FROM moz_historyvisits"},
  };
  for (const auto& c : cases) {
    test::RecordingSink sink;
    sink.stopAfter = 1;
    c.action(walk, {sink, false});
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0].outcome, EntryOutcome::kRemoved);
    EXPECT_EQ(
        test::QueryRows(firefox / (c.action == DeleteCookies ? "cookies.sqlite" : "places.sqlite"),
                        c.count),
        std::vector<std::string>{c.action == DeleteCookies ? "3" : "2"});
    EXPECT_EQ(test::QueryRows(firefox / "places.sqlite", "PRAGMA integrity_check"),
              std::vector<std::string>{"ok"});
  }
  test::RecordingSink sink;
  sink.stopAfter = 2;
  DeleteCacheFiles(walk, {sink, false});
  size_t left = 0;
  for (const fs::directory_entry& file : fs::directory_iterator(temp / kCacheFolder)) {
    left += file.is_regular_file() ? 1 : 0;
  }
  EXPECT_EQ(left, 2u);
}

// A folder of the cache the cleaning may not change: its files are left with the reason.
TEST_F(WebTracesReportTest, AFileInAFolderThatRefusesChangesIsLeftWithTheReason) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "permissions do not keep the superuser out";
  }
  const fs::path folder = temp / kCacheFolder;
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
  const Entries reported = Run(DeleteCacheFiles, false);
  fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
  ASSERT_EQ(reported.size(), 4u);
  for (const ReportEntry& entry : reported) {
    EXPECT_EQ(entry.outcome, EntryOutcome::kLeft);
    EXPECT_EQ(entry.reason, LeftReason::kPermissionDenied);
  }
}

}  // namespace
}  // namespace hv
