// The walk and the actions over a scripted URL cache, which records every platform call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/modCache.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

using Names = std::vector<std::string>;

class ScriptedUrlCache : public UrlCache {
 public:
  explicit ScriptedUrlCache(Names names) : entries(std::move(names)) {}

  UrlCacheHandle FindFirstUrlCacheEntry(UrlCacheEntry& entry) override {
    calls.push_back("first");
    if (entries.empty()) {
      return 0;
    }
    position_ = 0;
    entry.sourceUrlName = entries[0];
    open.push_back(++lastHandle_);
    return lastHandle_;
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
    std::erase(open, handle);
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
  std::vector<UrlCacheHandle> open;
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
                      " Cookie:leading space",
                      "Visited:"};

struct ActionCase {
  const char* name;
  void (*action)(modCache&);
  Names deleted;
};

class ModCacheActionTest : public testing::TestWithParam<ActionCase> {};

TEST_P(ModCacheActionTest, DeletesTheQualifyingEntriesInWalkOrder) {
  ScriptedUrlCache cache(kMixed);
  modCache walk(cache);
  GetParam().action(walk);
  EXPECT_EQ(cache.deleted, GetParam().deleted);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ModCacheActionTest,
    testing::Values(
        ActionCase{"DeleteCookies", DeleteCookies, {"Cookie:sid@example.org/", "Cookie:"}},
        ActionCase{"DeleteCacheFiles",
                   DeleteCacheFiles,
                   {"cookie:lower@example.org/", "visited: lower", "https://example.org/logo.png",
                    "in use", " Cookie:leading space"}}),
    [](const testing::TestParamInfo<ActionCase>& info) { return std::string(info.param.name); });

TEST(ModCacheTest, AWalkLeavesItsHandleOpenUntilTheNextWalkOrItsEndAndAnEmptyOneNone) {
  ScriptedUrlCache cache({"Cookie:a@b/", "x"});
  {
    modCache walk(cache);
    DeleteCookies(walk);
    EXPECT_EQ(cache.open, std::vector<UrlCacheHandle>{1});
    EXPECT_EQ(walk.EntrySourceName(), "");
    DeleteCookies(walk);
    EXPECT_EQ(cache.calls,
              (Names{"first", "next 1", "next 1", "close 1", "first", "next 2", "next 2"}));
    EXPECT_EQ(cache.open, std::vector<UrlCacheHandle>{2});
    // An empty cache ends the walk at once, with no handle to go on with or close.
    cache.entries.clear();
    cache.calls.clear();
    DeleteCacheFiles(walk);
    EXPECT_EQ(cache.calls, (Names{"close 2", "first"}));
    EXPECT_FALSE(walk.FindNextEntry());
    EXPECT_EQ(walk.EntrySourceName(), "");
  }
  EXPECT_TRUE(cache.open.empty());
}

TEST(ModCacheTest, ClearUrlHistoryRaisesWhenTheHistoryStays) {
  ScriptedUrlCache cache({});
  EXPECT_NO_THROW(ClearUrlHistory(cache));
  cache.historyClears = false;
  try {
    ClearUrlHistory(cache);
    FAIL() << "no error raised";
  } catch (const NumberedError& error) {
    EXPECT_EQ(error.Number(), -2147467259L);
    EXPECT_EQ(error.Source(), "modCache");
  }
  EXPECT_EQ(cache.calls, (Names{"clear history", "clear history"}));
}

}  // namespace
}  // namespace hv
