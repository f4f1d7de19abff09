// Links and other file systems in and around the browser stores: the rows of a linked
// profile's databases are cleaned, but the deletion of cache files never follows a link,
// never leaves the cache folder and never enters another file system.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "TempFolder.h"
#include "clean/modCache.h"
#include "platform/posix/browser/BrowserUrlCache.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::kChromiumKey;
using test::kFirefoxKey;
using test::QueryRows;
using Names = std::vector<std::string>;

constexpr const char* kChromiumStore = "home/.cache/chromium/Default/Cache";
constexpr const char* kFirefoxStore = "home/.cache/mozilla/firefox/abcd.default-release/cache2";
constexpr const char* kChromiumFile = "Cache_Data/0123456789abcdef_0";
constexpr const char* kFirefoxFile = "entries/0A1B2C";

// The user's documents, some laid out like parts of the cache folders, so that a walk led
// there by a link would take them for cache files.
const Names kDocuments = {"letter.txt", "Cache_Data/report.odt", "Default/Cache/Cache_Data/notes",
                          "firefox/abcd.default-release/cache2/entries/draft.odt"};

// A home with a Chromium and a Firefox cache, and a folder of documents beside it.
class CacheLinkTest : public testing::Test {
 protected:
  CacheLinkTest() : browsers(temp / "home") {
    temp.Write(std::string(kChromiumStore) + "/" + kChromiumFile,
               test::SimpleCacheBytes(kChromiumKey));
    temp.Write(std::string(kFirefoxStore) + "/" + kFirefoxFile,
               test::FirefoxCacheBytes(kFirefoxKey));
    for (const std::string& document : kDocuments) {
      temp.Write("documents/" + document, test::SimpleCacheBytes("document " + document));
    }
  }

  // Puts a link to target (below the documents) in place of the folder at relative.
  void LinkToDocuments(const std::string& relative, const std::string& target) const {
    fs::remove_all(temp / relative);
    fs::create_directories((temp / relative).parent_path());
    fs::create_directory_symlink(temp / "documents" / target, temp / relative);
  }

  Names DocumentsLeft() const {
    Names left;
    for (const std::string& document : kDocuments) {
      if (fs::exists(temp / "documents" / document)) {
        left.push_back(document);
      }
    }
    return left;
  }

  Names Walk() { return test::WalkNames(walk); }

  test::TempFolder temp;
  test::BrowserFixture browsers;
  BrowserUrlCache cache{browsers.Folders()};
  modCache walk{cache};
  std::string reason;
};

struct LinkCase {
  const char* name;
  const char* linked;  // the folder replaced by a link
  const char* target;  // where the link leads, below the documents
  std::string other;   // the other browser's cache file, which goes all the same
  const char* leftAs;  // the entry reported as left, below the test's folder; none if empty
};

class LinkedFolderTest : public CacheLinkTest, public testing::WithParamInterface<LinkCase> {};

// The link itself is reported as left, and nothing behind it is listed or deleted.
TEST_P(LinkedFolderTest, NothingBehindTheLinkIsListedOrDeleted) {
  const LinkCase& c = GetParam();
  LinkToDocuments(c.linked, c.target);
  std::vector<ReportEntry> left;
  for (const ReportEntry& entry : test::RunAction(DeleteCacheFiles, walk)) {
    if (entry.outcome != EntryOutcome::kRemoved) {
      left.push_back(entry);
    }
  }
  EXPECT_EQ(DocumentsLeft(), kDocuments);
  EXPECT_FALSE(fs::exists(temp / c.other));
  std::vector<ReportEntry> expected;
  if (*c.leftAs != '\0') {
    expected.push_back({EntryType::kCacheFile, (temp / c.leftAs).string(), std::nullopt,
                        EntryOutcome::kLeft, LeftReason::kLink});
  }
  EXPECT_EQ(left, expected);
  Names names;
  for (const ReportEntry& entry : expected) {
    names.push_back(entry.what);
  }
  EXPECT_EQ(Walk(), names);
}

const std::string kOtherIsFirefox = std::string(kFirefoxStore) + "/" + kFirefoxFile;
const std::string kOtherIsChromium = std::string(kChromiumStore) + "/" + kChromiumFile;

INSTANTIATE_TEST_SUITE_P(
    Links, LinkedFolderTest,
    testing::Values(
        LinkCase{"chromium_cache_folder", kChromiumStore, "", kOtherIsFirefox, kChromiumStore},
        LinkCase{"firefox_cache_folder", kFirefoxStore, "", kOtherIsChromium, kFirefoxStore},
        LinkCase{"folder_in_the_cache", "home/.cache/chromium/Default/Cache/Cache_Data",
                 "Cache_Data", kOtherIsFirefox, "home/.cache/chromium/Default/Cache/Cache_Data"},
        LinkCase{"profile_folder", "home/.cache/chromium/Default", "Default", kOtherIsFirefox,
                 kChromiumStore},
        LinkCase{"browser_folder", "home/.cache/mozilla", "", kOtherIsChromium, ""}),
    [](const testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

class SwapTest : public CacheLinkTest, public testing::WithParamInterface<bool> {};

// A folder of the cache swapped, after the listing, for a link or for another folder: the
// deletion reaches neither what the link leads to nor the folder put in its place.
TEST_P(SwapTest, ADeletionReachesOnlyTheFolderListed) {
  const bool linked = GetParam();
  const fs::path swapped = temp / kChromiumStore / "Cache_Data";
  ASSERT_TRUE(walk.FindFirstEntry());
  fs::rename(swapped, swapped.string() + ".moved");
  if (linked) {
    fs::create_directory_symlink(temp / "documents/Cache_Data", swapped);
  } else {
    fs::create_directories(swapped);
  }
  // Under the name of the file listed, in whatever is there now.
  fs::copy_file(temp / "documents/letter.txt", swapped / "0123456789abcdef_0");
  EXPECT_FALSE(walk.DeleteEntry(kChromiumKey, reason));
  EXPECT_TRUE(fs::exists(swapped / "0123456789abcdef_0"));
  EXPECT_EQ(DocumentsLeft(), kDocuments);
}

INSTANTIATE_TEST_SUITE_P(Swaps, SwapTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "for_a_link" : "for_another_folder";
                         });

// The cache folder itself moved away after the listing and a link put in its place: the
// deletion goes on in the folder that was listed, wherever it now is.
TEST_F(CacheLinkTest, ACacheFolderMovedAfterTheListingIsStillTheOneCleaned) {
  ASSERT_TRUE(walk.FindFirstEntry());
  const fs::path store = temp / kChromiumStore;
  fs::rename(store, store.string() + ".moved");
  fs::create_directory_symlink(temp / "documents", store);
  EXPECT_TRUE(walk.DeleteEntry(kChromiumKey, reason));
  EXPECT_FALSE(fs::exists(store.string() + ".moved/" + kChromiumFile));
  EXPECT_EQ(DocumentsLeft(), kDocuments);
}

// The cache base folder itself may be a link (a cache kept on another disk): it is where the
// user keeps caches, so the caches in it are cleaned.
TEST_F(CacheLinkTest, ALinkedCacheBaseFolderIsCleaned) {
  fs::rename(browsers.cache, temp / "other-disk");
  fs::create_directory_symlink(temp / "other-disk", browsers.cache);
  EXPECT_EQ(Walk(), (Names{kChromiumKey, kFirefoxKey}));
  test::RunAction(DeleteCacheFiles, walk);
  EXPECT_TRUE(Walk().empty());
  EXPECT_FALSE(fs::exists(temp / "other-disk/chromium/Default/Cache" / kChromiumFile));
}

// Mounts a file system of its own at folder, in a child process with a mount table of its
// own (so that the mount goes with it), and runs check there. Skips the test where the
// system does not let it mount.
void WithFileSystemMountedAt(const fs::path& folder, const std::function<bool()>& check) {
  constexpr int kCannotMount = 77;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool mounted = unshare(CLONE_NEWNS) == 0 &&
                         mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                         mount("none", folder.c_str(), "tmpfs", 0, nullptr) == 0;
    _exit(!mounted ? kCannotMount : check() ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kCannotMount) {
    GTEST_SKIP() << "cannot mount a file system here";
  }
  EXPECT_EQ(WEXITSTATUS(status), 0) << "a file on another file system was listed or deleted";
}

TEST_F(CacheLinkTest, AnotherFileSystemInTheCacheIsNotEntered) {
  const fs::path mounted = temp / kChromiumStore / "Cache_Data/mounted";
  fs::create_directories(mounted);
  WithFileSystemMountedAt(mounted, [&] {
    const fs::path there = mounted / "fedcba9876543210_0";
    temp.Write(fs::relative(there, temp.Path()), test::SimpleCacheBytes("elsewhere"));
    const ReportEntry notEntered{EntryType::kCacheFile, mounted.string(), std::nullopt,
                                 EntryOutcome::kLeft, LeftReason::kOtherFileSystem};
    const std::vector<ReportEntry> reported = test::RunAction(DeleteCacheFiles, walk);
    const bool listedAlone =
        reported.size() == 3 && std::count(reported.begin(), reported.end(), notEntered) == 1;
    return listedAlone && fs::exists(there) && !fs::exists(temp / kChromiumStore / kChromiumFile);
  });
}

// A profile kept elsewhere and linked into place, as a profile kept in memory is: its
// cookies and history go, its cache files behind a link stay.
TEST(LinkedProfileTest, RowsAreCleanedAndLinkedCacheFilesStay) {
  const test::TempFolder temp;
  const test::BrowserFixture browsers(temp / "home");
  const test::BrowserFixture kept(temp / "in-memory");
  const fs::path firefox = kept.FirefoxProfile("abcd.default");
  const fs::path chromium = kept.ChromiumProfile("chromium", "Default");
  fs::create_directories(browsers.home / ".mozilla/firefox");
  fs::create_directory_symlink(firefox, browsers.home / ".mozilla/firefox/abcd.default");
  fs::create_directories(browsers.config / "chromium");
  fs::create_directory_symlink(chromium, browsers.config / "chromium/Default");
  const fs::path cacheFile =
      temp.Write("in-memory/cache/cache2/entries/0A1B2C", test::FirefoxCacheBytes(kFirefoxKey));
  fs::create_directories(browsers.cache / "mozilla/firefox");
  fs::create_directory_symlink(temp / "in-memory/cache",
                               browsers.cache / "mozilla/firefox/abcd.default");
  test::AddFirefoxCookie(firefox, "sid", ".mozilla.example", "/");
  test::AddFirefoxPage(firefox, "https://mozilla.example/", 2);
  test::AddChromiumCookie(chromium / "Network/Cookies", "pref", "c.example", "/");
  test::AddChromiumPage(chromium, "https://c.example/", 1);

  BrowserUrlCache cache(browsers.Folders());
  modCache walk(cache);
  test::RunAction(DeleteCookies, walk);
  test::RunAction(ClearUrlHistory, walk);
  test::RunAction(DeleteCacheFiles, walk);
  for (const auto& [database, table] :
       std::vector<std::pair<fs::path, std::string>>{{firefox / "cookies.sqlite", "moz_cookies"},
                                                     {firefox / "places.sqlite", "moz_places"},
                                                     {chromium / "Network/Cookies", "cookies"},
                                                     {chromium / "History", "urls"}}) {
    EXPECT_EQ(QueryRows(database, "SELECT count(*) FROM " + table), Names{"0"}) << database;
  }
  EXPECT_TRUE(fs::exists(cacheFile));
}

}  // namespace
}  // namespace hv
