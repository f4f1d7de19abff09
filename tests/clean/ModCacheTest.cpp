// The walk and the actions over a scripted URL cache, which records every platform call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/modCache.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

using Names = std::vector<std::string>;

// Entries listed in the order given; records every platform call but the deletions, which
// it records apart, and fails to delete the entry "in use".
class ScriptedUrlCache : public UrlCache {
 public:
  explicit ScriptedUrlCache(Names names) : entries(std::move(names)) {}

  UrlCacheHandle FindFirstUrlCacheEntry(UrlCacheEntry& entry) override {
    calls.push_back("first");
    position_ = 0;
    if (entries.empty()) {
      return 0;
    }
    entry.sourceUrlName = entries[0];
    return ++lastHandle_;
  }
  bool FindNextUrlCacheEntry(UrlCacheHandle handle, UrlCacheEntry& entry) override {
    calls.push_back("next " + std::to_string(handle));
    if (++position_ >= entries.size()) {
      return false;
    }
    entry.sourceUrlName = entries[position_];
    return true;
  }
  void FindCloseUrlCache(UrlCacheHandle handle) override {
    calls.push_back("close " + std::to_string(handle));
  }
  bool DeleteUrlCacheEntry(const std::string& name) override {
    deleted.push_back(name);
    return name != "in use";
  }
  bool ClearHistory() override {
    calls.push_back("clear history");
    return historyClears;
  }

  Names entries;
  Names calls;
  Names deleted;
  bool historyClears = true;

 private:
  size_t position_ = 0;
  UrlCacheHandle lastHandle_ = 0;
};

const Names kMixed = {"Cookie:sid@example.org/",
                      "cookie:lower@example.org/",
                      "Visited: https://example.org/",
                      "visited: lower",
                      "https://example.org/logo.png",
                      "Cookie:",
                      "in use",
                      " Cookie:leading space"};

// Each action deletes the entries its name test takes, in walk order, and goes on past one
// that cannot be deleted.
TEST(ModCacheTest, ActionsDeleteTheQualifyingEntriesInWalkOrder) {
  const struct {
    void (*action)(modCache&);
    Names deleted;
  } cases[] = {
      {DeleteCookies, {"Cookie:sid@example.org/", "Cookie:"}},
      {DeleteCacheFiles,
       {"cookie:lower@example.org/", "visited: lower", "https://example.org/logo.png", "in use",
        " Cookie:leading space"}},
  };
  for (const auto& c : cases) {
    ScriptedUrlCache cache(kMixed);
    modCache walk(cache);
    c.action(walk);
    EXPECT_EQ(cache.deleted, c.deleted);
  }
}

// A walk keeps its handle until the next walk or its own end; an empty cache ends the walk at
// once, with no handle to go on with or close.
TEST(ModCacheTest, AWalkKeepsItsHandleUntilTheNextWalkOrItsEnd) {
  ScriptedUrlCache cache({"Cookie:a@b/", "x"});
  {
    modCache walk(cache);
    DeleteCookies(walk);
    EXPECT_EQ(walk.EntrySourceName(), "");
    DeleteCookies(walk);
    cache.entries.clear();
    DeleteCacheFiles(walk);
    EXPECT_FALSE(walk.FindNextEntry());
    EXPECT_EQ(walk.EntrySourceName(), "");
  }
  EXPECT_EQ(cache.calls, (Names{"first", "next 1", "next 1", "close 1", "first", "next 2", "next 2",
                                "close 2", "first"}));
}

TEST(ModCacheTest, ClearUrlHistoryRaisesWhenTheHistoryStays) {
  ScriptedUrlCache cache({});
  EXPECT_NO_THROW(ClearUrlHistory(cache));
  cache.historyClears = false;
  try {
    ClearUrlHistory(cache);
    ADD_FAILURE() << "no error raised";
  } catch (const NumberedError& error) {
    EXPECT_EQ(error.Number(), -2147467259L);
    EXPECT_EQ(error.Source(), "modCache");
  }
  EXPECT_EQ(cache.calls, (Names{"clear history", "clear history"}));
}

}  // namespace
}  // namespace hv
