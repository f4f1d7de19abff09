// Firefox's page icons through the history cleaning: the icons of pages that leave the
// history go, those of bookmarked pages stay.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "BrowserFixture.h"
#include "TempFolder.h"
#include "clean/ReportSink.h"
#include "clean/modCache.h"
#include "platform/posix/browser/BrowserUrlCache.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::QueryRows;
using Names = std::vector<std::string>;

const std::string kGone = "https://gone.example/a";
const std::string kKept = "https://kept.example/b";
const std::string kStale = "https://stale.example/";  // an icon row with no page left at all

// A profile with a visited page, a bookmarked one, and their icons: each its own, one icon
// they share, and the root icons of both sites; beside them a page row places.sqlite no
// longer holds.
class FaviconTest : public testing::Test {
 protected:
  FaviconTest() : browsers(temp / "home"), firefox(browsers.FirefoxProfile("f.default-esr")) {
    test::AddFirefoxPage(firefox, kGone, 2);
    test::AddFirefoxPage(firefox, kKept, 1, true);
    // Rows 1 to 3 in moz_pages_w_icons, 1 to 6 in moz_icons, in this order.
    for (const auto& [page, icon] : std::vector<std::pair<std::string, std::string>>{
             {kGone, "https://gone.example/a.png"},
             {kKept, "https://kept.example/b.png"},
             {kGone, "https://cdn.example/shared.png"},
             {kKept, "https://cdn.example/shared.png"},
             {kStale, "https://stale.example/s.png"}}) {
      test::AddFirefoxIcon(firefox, page, icon);
    }
    test::AddFirefoxIcon(firefox, kGone, "https://gone.example/favicon.ico", true);
    test::AddFirefoxIcon(firefox, kKept, "https://kept.example/favicon.ico", true);
  }

  // The history item's entries that name an icon, sorted.
  std::vector<ReportEntry> Icons(bool preview) {
    std::vector<ReportEntry> icons;
    for (ReportEntry& entry : test::RunAction(ClearUrlHistory, walk, preview)) {
      if (entry.what.starts_with("favicon")) {
        icons.push_back(std::move(entry));
      }
    }
    std::sort(icons.begin(), icons.end(),
              [](const ReportEntry& a, const ReportEntry& b) { return a.what < b.what; });
    return icons;
  }

  static std::vector<ReportEntry> Expected(EntryOutcome outcome, const std::string& reason = "") {
    std::vector<ReportEntry> expected;
    for (const std::string& url : {kGone, kStale}) {
      expected.push_back({EntryType::kHistoryEntry, "favicon of " + url, {}, outcome, reason});
    }
    return expected;
  }

  test::TempFolder temp;
  test::BrowserFixture browsers;
  fs::path firefox;
  fs::path favicons = firefox / "favicons.sqlite";
  BrowserUrlCache cache{browsers.Folders()};
  modCache walk{cache};
};

// Pages the history loses lose their icons; a bookmarked page keeps its own, the one it
// shares with a page that went, and its site's root icon.
TEST_F(FaviconTest, IconsOfPagesLeavingTheHistoryGo) {
  EXPECT_EQ(Icons(false), Expected(EntryOutcome::kRemoved));
  for (const auto& [sql, rows] : std::vector<std::pair<std::string, Names>>{
           {"SELECT page_url FROM moz_pages_w_icons", {kKept}},
           {"SELECT id FROM moz_icons ORDER BY id", {"2", "3", "6"}},
           {"SELECT page_id, icon_id FROM moz_icons_to_pages ORDER BY icon_id", {"2|2", "2|3"}}}) {
    EXPECT_EQ(QueryRows(favicons, sql), rows) << sql;
  }
}

// While places.sqlite still holds a page (its browser kept the history from being cleared),
// the page keeps its icons.
TEST_F(FaviconTest, PagesStillInTheHistoryKeepTheirIcons) {
  const std::string before = test::ReadFile(favicons);
  sqlite3* held = nullptr;
  ASSERT_EQ(sqlite3_open((firefox / "places.sqlite").c_str(), &held), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(held, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_THROW(Icons(false), NumberedError);
  sqlite3_close(held);
  EXPECT_EQ(QueryRows(favicons, "SELECT page_url FROM moz_pages_w_icons ORDER BY id"),
            (Names{kGone, kKept}));
  EXPECT_EQ(QueryRows(favicons, "SELECT id FROM moz_icons ORDER BY id"),
            (Names{"1", "2", "3", "5", "6"}));
}

// A preview names exactly what the run removes and changes no byte of the store.
TEST_F(FaviconTest, APreviewListsWhatTheRunRemovesAndChangesNothing) {
  const std::string before = test::ReadFile(favicons);
  const std::set<std::string> files = test::NamesIn(firefox);
  EXPECT_EQ(Icons(true), Expected(EntryOutcome::kWouldBeRemoved));
  EXPECT_EQ(test::ReadFile(favicons), before);
  EXPECT_EQ(test::NamesIn(firefox), files);
  EXPECT_EQ(Icons(false), Expected(EntryOutcome::kRemoved));
}

// Held as a running browser holds it, writing and then exclusively: its icons are reported
// left and stay, while the history itself is cleared.
TEST_F(FaviconTest, ALockedStoreIsReportedLeft) {
  for (const char* lock : {"BEGIN IMMEDIATE", "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE"}) {
    SCOPED_TRACE(lock);
    sqlite3* held = nullptr;
    ASSERT_EQ(sqlite3_open(favicons.c_str(), &held), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(held, lock, nullptr, nullptr, nullptr), SQLITE_OK);
    const std::vector<ReportEntry> icons = Icons(false);
    sqlite3_close(held);

    ASSERT_FALSE(icons.empty());
    for (const ReportEntry& entry : icons) {
      EXPECT_EQ(entry.outcome, EntryOutcome::kLeft) << entry.what;
      EXPECT_EQ(entry.reason, LeftReason::kBrowserOpen) << entry.what;
    }
    EXPECT_EQ(QueryRows(favicons, "SELECT count(*) FROM moz_pages_w_icons"), Names{"3"});
    EXPECT_EQ(QueryRows(firefox / "places.sqlite", "SELECT url FROM moz_places"), Names{kKept});
  }
}

struct OddStoreCase {
  const char* name;
  void (*spoil)(const fs::path& profile);
  bool iconsListed;  // with a reason, as left
};

class OddStoreTest : public FaviconTest, public testing::WithParamInterface<OddStoreCase> {};

// A missing or broken store is passed over; without places.sqlite nothing tells which
// icons are still used, so all stay.
TEST_P(OddStoreTest, TheHistoryIsClearedAndNoIconIsLost) {
  GetParam().spoil(firefox);
  const bool hadIcons = fs::exists(favicons);
  const std::string before = hadIcons ? test::ReadFile(favicons) : "";
  const std::vector<ReportEntry> icons = Icons(false);
  EXPECT_EQ(icons.size(), GetParam().iconsListed ? 1u : 0u);
  for (const ReportEntry& entry : icons) {
    EXPECT_EQ(entry.outcome, EntryOutcome::kLeft);
    EXPECT_FALSE(entry.reason.empty());
  }
  EXPECT_EQ(fs::exists(favicons), hadIcons);
  if (hadIcons) {
    EXPECT_EQ(test::ReadFile(favicons), before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Stores, OddStoreTest,
    testing::Values(
        OddStoreCase{"Missing", [](const fs::path& p) { fs::remove(p / "favicons.sqlite"); },
                     false},
        OddStoreCase{"NotADatabase",
                     [](const fs::path& p) {
                       std::ofstream(p / "favicons.sqlite", std::ios::trunc) << "not a database";
                     },
                     true},
        OddStoreCase{"OtherTables",
                     [](const fs::path& p) {
                       test::ExecSql(p / "favicons.sqlite", "DROP TABLE moz_icons_to_pages");
                     },
                     false},
        OddStoreCase{"NoHistory", [](const fs::path& p) { fs::remove(p / "places.sqlite"); },
                     false}),
    [](const testing::TestParamInfo<OddStoreCase>& info) { return info.param.name; });

}  // namespace
}  // namespace hv
