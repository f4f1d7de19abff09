// The URL cache walk over wininet, on entries the test commits to the user's cache. The
// names are unique to this test, so entries of anyone else stay out of the checks.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "RecordingSink.h"
#include "clean/modCache.h"
#include "platform/win32/WinInetUrlCache.h"
#include "platform/win32/WindowsApi.h"
// The Internet header needs the system's types first.
#include <wininet.h>

#undef FindNextUrlCacheEntry
#undef DeleteUrlCacheEntry

namespace hv {
namespace {

const std::string kHost = "hushvault-test.invalid";

const std::vector<std::string> kEntries = {
    "Cookie:tester@" + kHost + "/",   "Cookie:tester@" + kHost + "/deep/path",
    "cookie:lower@" + kHost + "/",    "Visited: tester@http://" + kHost + "/page.html",
    "http://" + kHost + "/page.html", "http://" + kHost + "/image.png",
};

// Commits one entry with a small local file, as the browser would.
bool Commit(const std::string& url) {
  char file[MAX_PATH] = {};
  if (!CreateUrlCacheEntryA(url.c_str(), 0, "txt", file, 0)) {
    return false;
  }
  const HANDLE handle =
      CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  WriteFile(handle, "x", 1, &written, nullptr);
  CloseHandle(handle);
  FILETIME never = {};
  const DWORD type = url.starts_with("Cookie:")    ? COOKIE_CACHE_ENTRY
                     : url.starts_with("Visited:") ? URLHISTORY_CACHE_ENTRY
                                                   : NORMAL_CACHE_ENTRY;
  return CommitUrlCacheEntryA(url.c_str(), file, never, never, type, nullptr, 0, nullptr,
                              nullptr) != FALSE;
}

// The test's own entries that a full walk reports.
std::set<std::string> OurEntries(UrlCache& cache) {
  std::set<std::string> names;
  modCache walk(cache);
  for (bool more = walk.FindFirstEntry(); more; more = walk.FindNextEntry()) {
    const std::string name = walk.EntrySourceName();
    if (name.find(kHost) != std::string::npos) {
      names.insert(name);
    }
  }
  return names;
}

class WinInetUrlCacheTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& url : kEntries) {
      ASSERT_TRUE(Commit(url)) << url << " error " << GetLastError();
    }
  }
  void TearDown() override {
    for (const std::string& url : kEntries) {
      DeleteUrlCacheEntryA(url.c_str());
    }
  }

  WinInetUrlCache cache;
};

// The entries of this test that an action reported, shown as the user reads them.
std::vector<ReportEntry> OurReports(const test::RecordingSink& sink) {
  std::vector<ReportEntry> ours;
  for (const ReportEntry& entry : sink.entries) {
    if (entry.what.find(kHost) != std::string::npos) {
      ours.push_back(entry);
    }
  }
  return ours;
}

// Each step's check walks the whole cache, so an entry the walk missed shows up too. A
// preview before each deleting step changes nothing and names what the step then removes.
TEST_F(WinInetUrlCacheTest, CacheFilesThenCookiesGoAndHistoryStays) {
  const std::set<std::string> all(kEntries.begin(), kEntries.end());
  EXPECT_EQ(OurEntries(cache), all);
  modCache walk(cache);
  const auto previewThenClean = [&](void (*action)(modCache&, const WalkReport&)) {
    test::RecordingSink preview;
    const std::set<std::string> before = OurEntries(cache);
    action(walk, {preview, true});
    EXPECT_EQ(OurEntries(cache), before);
    test::RecordingSink cleaned;
    action(walk, {cleaned, false});
    std::vector<ReportEntry> expected = OurReports(preview);
    for (ReportEntry& entry : expected) {
      entry.outcome = EntryOutcome::kRemoved;
    }
    EXPECT_EQ(OurReports(cleaned), expected);
    return OurReports(cleaned);
  };
  const std::vector<ReportEntry> files = previewThenClean(DeleteCacheFiles);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].type, EntryType::kCacheFile);
  EXPECT_EQ(files[0].bytes, 1u);
  EXPECT_EQ(OurEntries(cache), (std::set<std::string>{kEntries[0], kEntries[1], kEntries[3]}));
  // The second walk also closes the handle the one before left open.
  for (int round = 0; round < 2; ++round) {
    const std::vector<ReportEntry> cookies = previewThenClean(DeleteCookies);
    EXPECT_EQ(cookies.size(), round == 0 ? 2u : 0u);
    for (const ReportEntry& cookie : cookies) {
      EXPECT_EQ(cookie.what, "cookie of " + kHost);
    }
    EXPECT_EQ(OurEntries(cache), std::set<std::string>{kEntries[3]});
  }

  std::string reason;
  EXPECT_TRUE(cache.DeleteUrlCacheEntry(kEntries[3], reason));
  EXPECT_FALSE(cache.DeleteUrlCacheEntry(kEntries[3], reason));
  EXPECT_EQ(reason, LeftReason::kVanished);
  UrlCacheEntry entry;
  EXPECT_FALSE(cache.FindNextUrlCacheEntry(0, entry));
}

}  // namespace
}  // namespace hv
