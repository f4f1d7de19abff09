// Files in every profile of a browser family, reached by patterns relative to the profile.
#include "clean/BrowserFamilyCleanup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "PreviewCheck.h"
#include "RecordingSink.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "platform/BrowserProfiles.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using Paths = std::set<std::string>;

const Paths kFirefoxFiles = {"sessionstore.jsonlz4",
                             "sessionstore-backups/recovery.jsonlz4",
                             "sessionstore-backups/.previous.jsonlz4",
                             "storage/default/https+++a.example/ls/data.sqlite",
                             "storage/default/https+++a.example/.metadata-v2",
                             "storage/default/https+++a.example/.tmp/part",
                             "storage/permanent/chrome/idb/x.sqlite",
                             "storage/webappsstore.sqlite",
                             "webappsstore.sqlite",
                             "webappsstore.sqlite-wal",
                             "places.sqlite",
                             "logins.json"};
const Paths kChromiumFiles = {"Current Session", "Sessions/Session_1",
                              "Local Storage/leveldb/000003.log", "History", "Login Data"};

constexpr const char* kCacheFile = "cache2/entries/0A1B";
constexpr const char* kCrashReport = "Crash Reports/pending/a.dmp";

// Two Firefox profiles of two installs and two Chromium-family ones of two browsers, each
// holding its family's files.
class FamilyProfiles : public BrowserProfiles {
 public:
  explicit FamilyProfiles(const test::TempFolder& temp) {
    Add(temp, "Firefox", BrowserFamily::kFirefox, "", ".mozilla/firefox/a.default");
    Add(temp, "Firefox", BrowserFamily::kFirefox, "snap",
        "snap/firefox/common/.mozilla/firefox/b.default");
    Add(temp, "Chromium", BrowserFamily::kChromium, "", ".config/chromium/Default");
    Add(temp, "Google Chrome", BrowserFamily::kChromium, "", ".config/google-chrome/Profile 1");
  }

  BrowserProfileList Profiles() override { return {profiles_, installs_, {}}; }

  // The files left in every profile of family, relative to it.
  std::vector<Paths> FilesOf(BrowserFamily family) const {
    std::vector<Paths> files;
    for (const BrowserProfile& profile : profiles_) {
      if (profile.family != family) {
        continue;
      }
      Paths left;
      for (const auto& entry : fs::recursive_directory_iterator(profile.folder)) {
        if (!entry.is_directory()) {
          left.insert(fs::relative(entry.path(), profile.folder).string());
        }
      }
      files.push_back(left);
    }
    return files;
  }

  const BrowserProfile& First() const { return profiles_.front(); }

 private:
  // The profile, and its cache below the cache folder; the snap install keeps none.
  void Add(const test::TempFolder& temp, const char* browser, BrowserFamily family,
           const char* install, const std::string& relative) {
    const fs::path folder = temp / ("home/" + relative);
    for (const std::string& file :
         family == BrowserFamily::kFirefox ? kFirefoxFiles : kChromiumFiles) {
      temp.Write("home/" + relative + "/" + file, "x");
    }
    std::string cache;
    if (std::string(install) != "snap") {
      cache = (temp / ("home/.cache/" + relative + "/")).string();
      temp.Write("home/.cache/" + relative + "/" + kCacheFile, "c");
    }
    profiles_.push_back(
        {browser, family, install, folder.filename().string(), folder.string() + "/", cache});
    installs_.push_back({browser, family, install, folder.parent_path().string() + "/"});
    temp.Write(fs::relative(folder.parent_path() / kCrashReport, temp.Path()).string(), "d");
  }

  std::vector<BrowserProfile> profiles_;
  std::vector<BrowserInstallFolder> installs_;
};

struct FamilyCase {
  const char* name;
  const char* family;
  const char* mask;
  Paths removed;  // from every profile of the family
  Paths kept;     // folders that stay
};

class FamilyCleanupTest : public testing::TestWithParam<FamilyCase> {};

TEST_P(FamilyCleanupTest, EveryProfileOfTheFamilyLosesWhatThePatternsReach) {
  const FamilyCase& c = GetParam();
  const test::TempFolder temp;
  FamilyProfiles profiles(temp);
  const bool firefox = std::string(c.family) == "firefox";
  const BrowserFamily other = firefox ? BrowserFamily::kChromium : BrowserFamily::kFirefox;
  const std::vector<Paths> othersBefore = profiles.FilesOf(other);
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};

  CleanBrowserFamilyAction(profiles, NativeFileSystem())({"k", "", 9, c.family, c.mask}, context);

  Paths expected;
  std::set_difference((firefox ? kFirefoxFiles : kChromiumFiles).begin(),
                      (firefox ? kFirefoxFiles : kChromiumFiles).end(), c.removed.begin(),
                      c.removed.end(), std::inserter(expected, expected.end()));
  const auto own = profiles.FilesOf(firefox ? BrowserFamily::kFirefox : BrowserFamily::kChromium);
  ASSERT_EQ(own.size(), 2u);
  for (const Paths& files : own) {
    EXPECT_EQ(files, expected);
  }
  EXPECT_EQ(profiles.FilesOf(other), othersBefore);
  EXPECT_EQ(report.entries.size(), 2 * c.removed.size());
  for (const ReportEntry& entry : report.entries) {
    EXPECT_EQ(entry.outcome, EntryOutcome::kRemoved) << entry.what;
  }
  for (const BrowserProfile& profile : profiles.Profiles().profiles) {
    for (const std::string& folder : profile.family == other ? Paths{} : c.kept) {
      EXPECT_TRUE(fs::is_directory(profile.folder + folder)) << profile.folder << folder;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FamilyCleanupTest,
    testing::Values(
        FamilyCase{"a_file_and_a_folders_content_dot_names_too",
                   "firefox",
                   "sessionstore.jsonlz4;sessionstore-backups/*",
                   {"sessionstore.jsonlz4", "sessionstore-backups/recovery.jsonlz4",
                    "sessionstore-backups/.previous.jsonlz4"},
                   {"sessionstore-backups"}},
        FamilyCase{"a_sub_path_content_at_any_depth_keeps_the_folder",
                   "firefox",
                   "storage/default/*",
                   {"storage/default/https+++a.example/ls/data.sqlite",
                    "storage/default/https+++a.example/.metadata-v2",
                    "storage/default/https+++a.example/.tmp/part"},
                   {"storage/default", "storage/permanent/chrome/idb"}},
        FamilyCase{"a_name_pattern_matches_only_directly_in_the_profile",
                   "firefox",
                   "webappsstore.sqlite*",
                   {"webappsstore.sqlite", "webappsstore.sqlite-wal"},
                   {"storage"}},
        FamilyCase{"patterns_in_folder_parts",
                   "firefox",
                   "storage/*/*/ls/*.sqlite",
                   {"storage/default/https+++a.example/ls/data.sqlite"},
                   {"storage/default/https+++a.example/ls"}},
        FamilyCase{"a_folder_named_by_a_pattern_is_not_removed",
                   "firefox",
                   "sessionstore-backups;storage/default",
                   {},
                   {"sessionstore-backups"}},
        FamilyCase{"nothing_above_the_profile", "firefox", "../*;../../*;/*/..", {}, {}},
        FamilyCase{"every_chromium_family_browser",
                   "chromium",
                   "Current Session;Sessions/*;Local Storage/*",
                   {"Current Session", "Sessions/Session_1", "Local Storage/leveldb/000003.log"},
                   {"Sessions", "Local Storage"}},
        FamilyCase{"empty_patterns_reach_nothing", "chromium", ";;", {}, {}}),
    [](const testing::TestParamInfo<FamilyCase>& info) { return std::string(info.param.name); });

// A folder of the profile that is a link to elsewhere is neither entered nor removed, nor
// is a linked file; what they lead to stays.
TEST(FamilyCleanupLinkTest, LinksInTheProfileLeadNowhere) {
  const test::TempFolder temp;
  FamilyProfiles profiles(temp);
  const fs::path profile = profiles.First().folder;
  temp.Write("outside/default/keep.sqlite", "k");
  temp.Write("outside/recovery.jsonlz4", "k");
  fs::rename(profile / "storage", temp / "moved-storage");
  fs::create_directory_symlink(temp / "outside", profile / "storage");
  fs::create_symlink(temp / "outside/recovery.jsonlz4",
                     profile / "sessionstore-backups/linked.jsonlz4");
  const auto outside = test::SnapshotTree(temp / "outside");
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};

  CleanBrowserFamilyAction(profiles, NativeFileSystem())(
      {"k", "", 9, "firefox", "storage/default/*;sessionstore-backups/*"}, context);

  EXPECT_EQ(test::SnapshotTree(temp / "outside"), outside);
  EXPECT_TRUE(fs::is_symlink(profile / "storage"));
  EXPECT_TRUE(fs::is_symlink(profile / "sessionstore-backups/linked.jsonlz4"));
  std::vector<std::string> left;
  for (const ReportEntry& entry : report.entries) {
    if (entry.outcome == EntryOutcome::kLeft) {
      left.push_back(entry.what + ": " + entry.reason);
    }
  }
  EXPECT_EQ(left,
            (std::vector<std::string>{(profile / "storage").string() + ": " + LeftReason::kLink,
                                      (profile / "sessionstore-backups/linked.jsonlz4").string() +
                                          ": " + LeftReason::kLink}));
}

// A preview changes nothing and reports what the run then removes.
TEST(FamilyCleanupPreviewTest, APreviewListsWhatTheRunRemoves) {
  const test::TempFolder temp;
  FamilyProfiles profiles(temp);
  const CleanAction action = CleanBrowserFamilyAction(profiles, NativeFileSystem());
  const CleanItem item{"k", "", 9, "firefox", "sessionstore-backups/*;webappsstore.sqlite*"};
  const auto before = test::SnapshotTree(temp.Path());
  test::ScriptedUserInterface ui;
  test::RecordingSink previewed;
  CleanContext preview{.ui = ui, .report = previewed, .preview = true};
  action(item, preview);
  EXPECT_EQ(test::SnapshotTree(temp.Path()), before);

  test::RecordingSink removed;
  CleanContext run{.ui = ui, .report = removed};
  action(item, run);
  ASSERT_EQ(previewed.entries.size(), 8u);
  ASSERT_EQ(removed.entries.size(), previewed.entries.size());
  for (size_t i = 0; i < removed.entries.size(); ++i) {
    EXPECT_EQ(previewed.entries[i].what, removed.entries[i].what);
    EXPECT_EQ(previewed.entries[i].outcome, EntryOutcome::kWouldBeRemoved);
    EXPECT_EQ(removed.entries[i].outcome, EntryOutcome::kRemoved);
  }
}

// The cache targets clean each profile's cache folder, and nothing of the profiles or of
// the other family's caches.
TEST(FamilyCleanupCacheTest, CacheTargetsReachOnlyTheFamilysCacheFolders) {
  const test::TempFolder temp;
  FamilyProfiles profiles(temp);
  const auto files = [&] {
    Paths all;
    for (const auto& entry : fs::recursive_directory_iterator(temp / "home")) {
      if (!entry.is_directory()) {
        all.insert(fs::relative(entry.path(), temp / "home").string());
      }
    }
    return all;
  };
  Paths expected = files();
  ASSERT_EQ(expected.erase(".cache/.mozilla/firefox/a.default/" + std::string(kCacheFile)), 1u);
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  CleanBrowserFamilyAction(profiles, NativeFileSystem())({"k", "", 9, "firefox-cache", "cache2/*"},
                                                         context);

  EXPECT_EQ(files(), expected);
  EXPECT_TRUE(fs::is_directory(temp / "home/.cache/.mozilla/firefox/a.default/cache2"));
  EXPECT_EQ(report.entries.size(), 1u);
}

// The install targets reach the folders beside the profiles, and nothing in a profile.
TEST(FamilyCleanupInstallsTest, InstallTargetsReachTheFoldersThatHoldTheProfiles) {
  const test::TempFolder temp;
  FamilyProfiles profiles(temp);
  const auto before = profiles.FilesOf(BrowserFamily::kFirefox);
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  CleanBrowserFamilyAction(profiles, NativeFileSystem())(
      {"k", "", 9, "chromium-installs", "Crash Reports/*"}, context);

  EXPECT_EQ(report.entries.size(), 2u);
  for (const char* root : {".config/chromium", ".config/google-chrome"}) {
    EXPECT_FALSE(fs::exists(temp / "home" / root / kCrashReport)) << root;
    EXPECT_TRUE(fs::is_directory(temp / "home" / root / "Crash Reports")) << root;
  }
  EXPECT_TRUE(fs::exists(temp / "home/.mozilla/firefox" / kCrashReport));
  EXPECT_EQ(profiles.FilesOf(BrowserFamily::kChromium), std::vector<Paths>(2, kChromiumFiles));
  EXPECT_EQ(profiles.FilesOf(BrowserFamily::kFirefox), before);
}

// A stop asked for ends the item between two files, in whichever profile it is.
TEST(FamilyCleanupStopTest, AStopRequestEndsTheItemBetweenTwoFiles) {
  const test::TempFolder temp;
  FamilyProfiles profiles(temp);
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  report.stopAfter = 1;
  CleanContext context{.ui = ui, .report = report};
  CleanBrowserFamilyAction(profiles, NativeFileSystem())(
      {"k", "", 9, "firefox", "sessionstore-backups/*;webappsstore.sqlite*"}, context);
  ASSERT_EQ(report.entries.size(), 1u);
  size_t left = 0;
  for (const Paths& files : profiles.FilesOf(BrowserFamily::kFirefox)) {
    left += files.size();
  }
  EXPECT_EQ(left, 2 * kFirefoxFiles.size() - 1);
}

// A profile that cannot be opened is said so; the others are cleaned all the same.
TEST(FamilyCleanupAccessTest, AProfileThatCannotBeOpenedIsReported) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "permissions do not keep the superuser out";
  }
  const test::TempFolder temp;
  FamilyProfiles profiles(temp);
  const std::string locked = profiles.First().folder;
  fs::permissions(locked, fs::perms::none);
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  CleanBrowserFamilyAction(profiles, NativeFileSystem())({"k", "", 9, "firefox", "logins.json"},
                                                         context);
  fs::permissions(locked, fs::perms::owner_all);
  ASSERT_EQ(report.entries.size(), 2u);
  EXPECT_EQ(report.entries[0].what, locked);
  EXPECT_EQ(report.entries[0].reason, LeftReason::kPermissionDenied);
  EXPECT_EQ(report.entries[1].outcome, EntryOutcome::kRemoved);
}

// A family the item's path does not name is said so, and nothing is touched.
TEST(FamilyCleanupPathTest, AnUnknownFamilyCleansNothing) {
  const test::TempFolder temp;
  FamilyProfiles profiles(temp);
  const auto before = test::SnapshotTree(temp.Path());
  test::ScriptedUserInterface ui;
  test::RecordingSink report;
  CleanContext context{.ui = ui, .report = report};
  CleanBrowserFamilyAction(profiles, NativeFileSystem())({"k", "", 9, "opera", "*"}, context);
  EXPECT_EQ(test::SnapshotTree(temp.Path()), before);
  ASSERT_EQ(report.entries.size(), 1u);
  EXPECT_EQ(report.entries.front().outcome, EntryOutcome::kLeft);
}

}  // namespace
}  // namespace hv
