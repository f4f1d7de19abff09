// The walk and the actions over a scripted URL cache, which records every platform call.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RecordingSink.h"
#include "clean/modCache.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

using Names = std::vector<std::string>;

// Entries listed in the order given; records every platform call but the deletions, which
// it records apart, and fails to delete the entry "in use".
class ScriptedUrlCache : public UrlCache {
 public:
  explicit ScriptedUrlCache(Names names) {
    for (std::string& name : names) {
      entries.push_back({std::move(name), {}, {}, {}});
    }
  }

  UrlCacheHandle FindFirstUrlCacheEntry(UrlCacheEntry& entry, bool lookOnly) override {
    calls.push_back(lookOnly ? "first, looking" : "first");
    position_ = 0;
    if (entries.empty()) {
      return 0;
    }
    entry = entries[0];
    return ++lastHandle_;
  }
  bool FindNextUrlCacheEntry(UrlCacheHandle handle, UrlCacheEntry& entry) override {
    calls.push_back("next " + std::to_string(handle));
    if (++position_ >= entries.size()) {
      return false;
    }
    entry = entries[position_];
    return true;
  }
  void FindCloseUrlCache(UrlCacheHandle handle) override {
    calls.push_back("close " + std::to_string(handle));
  }
  bool DeleteUrlCacheEntry(const std::string& name, std::string& reason) override {
    deleted.push_back(name);
    if (name == "in use") {
      reason = LeftReason::kInUse;
      return false;
    }
    return true;
  }
  bool ClearHistory() override {
    calls.push_back("clear history");
    return historyClears;
  }

  std::vector<UrlCacheEntry> entries;
  Names calls;
  Names deleted;
  bool historyClears = true;

 private:
  size_t position_ = 0;
  UrlCacheHandle lastHandle_ = 0;
};

const Names kMixed = {"Cookie:sid@.example.org/",
                      "cookie:lower@example.org/",
                      "Visited: https://example.org/",
                      "visited: lower",
                      "https://example.org/logo.png",
                      "Cookie:",
                      "in use",
                      " Cookie:leading space",
                      "Visited: tester@https://example.net/page"};

constexpr auto kRemoved = EntryOutcome::kRemoved;
constexpr auto kLeft = EntryOutcome::kLeft;

ReportEntry Entry(EntryType type, std::string what, EntryOutcome outcome = kRemoved,
                  std::string reason = {}) {
  return {type, std::move(what), std::nullopt, outcome, std::move(reason)};
}

// Each action deletes the entries its name test takes, in walk order, goes on past one that
// cannot be deleted, and reports each as it meets it, shown as the user reads it.
TEST(ModCacheTest, ActionsDeleteAndReportTheQualifyingEntriesInWalkOrder) {
  const struct {
    void (*action)(modCache&, const WalkReport&);
    Names deleted;
    std::vector<ReportEntry> reported;
  } cases[] = {
      {DeleteCookies,
       {"Cookie:sid@.example.org/", "Cookie:"},
       {Entry(EntryType::kCookie, "cookie of example.org"),
        Entry(EntryType::kCookie, "cookie of ")}},
      {DeleteCacheFiles,
       {"cookie:lower@example.org/", "visited: lower", "https://example.org/logo.png", "in use",
        " Cookie:leading space"},
       {Entry(EntryType::kCacheFile, "cookie:lower@example.org/"),
        Entry(EntryType::kCacheFile, "visited: lower"),
        Entry(EntryType::kCacheFile, "https://example.org/logo.png"),
        Entry(EntryType::kCacheFile, "in use", kLeft, LeftReason::kInUse),
        Entry(EntryType::kCacheFile, " Cookie:leading space")}},
      {ClearUrlHistory,
       {"Visited: https://example.org/", "Visited: tester@https://example.net/page"},
       {Entry(EntryType::kHistoryEntry, "https://example.org/"),
        Entry(EntryType::kHistoryEntry, "https://example.net/page")}},
  };
  for (const auto& c : cases) {
    ScriptedUrlCache cache(kMixed);
    modCache walk(cache);
    test::RecordingSink sink;
    c.action(walk, {sink, false});
    EXPECT_EQ(cache.deleted, c.deleted);
    EXPECT_EQ(sink.entries, c.reported);

    // The preview walks the same way, for looking only, and deletes nothing.
    ScriptedUrlCache looked(kMixed);
    modCache lookingWalk(looked);
    test::RecordingSink preview;
    c.action(lookingWalk, {preview, true});
    EXPECT_TRUE(looked.deleted.empty());
    EXPECT_EQ(looked.calls.front(), "first, looking");
    ASSERT_EQ(preview.entries.size(), c.reported.size());
    for (size_t n = 0; n < preview.entries.size(); ++n) {
      ReportEntry expected = c.reported[n];
      if (expected.outcome == kRemoved) {
        expected.outcome = EntryOutcome::kWouldBeRemoved;
      } else {
        expected = Entry(expected.type, expected.what, EntryOutcome::kWouldBeRemoved);
      }
      EXPECT_EQ(preview.entries[n], expected);
    }
  }
}

// An entry the platform marks as left (a locked store, a linked folder) is reported with its
// reason and the name it is shown by, never deleted; a cache file's size goes with it,
// other kinds have none.
TEST(ModCacheTest, EntriesTheCacheLeavesAreReportedWithTheirReason) {
  ScriptedUrlCache cache({});
  cache.entries = {
      {"Cookie:/profile/cookies.sqlite", 512, "/profile/cookies.sqlite", LeftReason::kBrowserOpen},
      {"Cookie:a@b.example/", 4096, {}, {}},
      {"/cache/link", {}, {}, LeftReason::kLink},
      {"https://c.example/x.js", 8192, {}, {}}};
  modCache walk(cache);
  test::RecordingSink sink;
  DeleteCookies(walk, {sink, false});
  DeleteCacheFiles(walk, {sink, false});
  EXPECT_EQ(cache.deleted, (Names{"Cookie:a@b.example/", "https://c.example/x.js"}));
  EXPECT_EQ(
      sink.entries,
      (std::vector<ReportEntry>{
          Entry(EntryType::kCookie, "/profile/cookies.sqlite", kLeft, LeftReason::kBrowserOpen),
          Entry(EntryType::kCookie, "cookie of b.example"),
          Entry(EntryType::kCacheFile, "/cache/link", kLeft, LeftReason::kLink),
          {EntryType::kCacheFile, "https://c.example/x.js", 8192, kRemoved, {}}}));
}

// A stop request ends the walk between two entries and closes it, so that what it deleted
// lands; the history is then not cleared further.
TEST(ModCacheTest, AStopRequestEndsTheWalkBetweenTwoEntries) {
  for (auto* action : {DeleteCacheFiles, ClearUrlHistory}) {
    ScriptedUrlCache cache(
        {"Visited: https://a.example/", "x", "Visited: https://b.example/", "y"});
    modCache walk(cache);
    test::RecordingSink sink;
    sink.stopAfter = 1;
    action(walk, {sink, false});
    EXPECT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(cache.deleted.size(), 1u);
    EXPECT_EQ(cache.calls.back(), "close 1");
    EXPECT_EQ(std::count(cache.calls.begin(), cache.calls.end(), "clear history"), 0);
  }
}

// A walk keeps its handle until the next walk or its own end; an empty cache ends the walk at
// once, with no handle to go on with or close.
TEST(ModCacheTest, AWalkKeepsItsHandleUntilTheNextWalkOrItsEnd) {
  ScriptedUrlCache cache({"Cookie:a@b/", "x"});
  test::RecordingSink sink;
  {
    modCache walk(cache);
    DeleteCookies(walk, {sink, false});
    EXPECT_EQ(walk.EntrySourceName(), "");
    DeleteCookies(walk, {sink, false});
    cache.entries.clear();
    DeleteCacheFiles(walk, {sink, false});
    EXPECT_FALSE(walk.FindNextEntry());
    EXPECT_EQ(walk.EntrySourceName(), "");
  }
  EXPECT_EQ(cache.calls, (Names{"first", "next 1", "next 1", "close 1", "first", "next 2", "next 2",
                                "close 2", "first"}));
}

// The history is cleared after its entries went, and not at all in a preview; when it stays
// the run hears of it.
TEST(ModCacheTest, ClearUrlHistoryRaisesWhenTheHistoryStays) {
  ScriptedUrlCache cache({});
  modCache walk(cache);
  test::RecordingSink sink;
  EXPECT_NO_THROW(ClearUrlHistory(walk, {sink, false}));
  EXPECT_NO_THROW(ClearUrlHistory(walk, {sink, true}));
  cache.historyClears = false;
  try {
    ClearUrlHistory(walk, {sink, false});
    ADD_FAILURE() << "no error raised";
  } catch (const NumberedError& error) {
    EXPECT_EQ(error.Number(), -2147467259L);
    EXPECT_EQ(error.Source(), "modCache");
  }
  EXPECT_EQ(cache.calls,
            (Names{"first", "clear history", "first, looking", "first", "clear history"}));
}

}  // namespace
}  // namespace hv
