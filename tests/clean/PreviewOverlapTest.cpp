// Items whose walks reach the same files: the real run removes each file under the first
// item that meets it, and the next finds it gone. A preview removes nothing, so it must
// remember what it counted, or it lists those files twice and its totals exceed what the
// run then frees.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "BrowserFixture.h"
#include "InMemoryDocument.h"
#include "PreviewCheck.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "clean/BrowserFamilyCleanup.h"
#include "clean/CleanRun.h"
#include "clean/FilesCleanAction.h"
#include "clean/RecycleBinAction.h"
#include "clean/RunReport.h"
#include "clean/UrlCacheActions.h"
#include "platform/RestartService.h"
#include "platform/posix/FreedesktopTrash.h"
#include "platform/posix/browser/BrowserUrlCache.h"
#include "platform/posix/browser/InstalledBrowserProfiles.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kProfile = "abcd.default-release";
constexpr const char* kFirefoxCaches = "home/.cache/mozilla/firefox/";
constexpr const char* kTrash = "home/.local/share/Trash/";

class RefusedRestart : public RestartService {
 public:
  bool RequestRestart() override { return false; }
};

// Each item of a run's report with its entries, as the real run would report them, and
// the totals of the whole report.
struct Outcome {
  std::vector<std::vector<std::string>> items;
  EntryTally totals;
};

// An entry as a failed comparison shows it.
std::string Shown(const ReportEntry& entry) {
  return entry.what + ", " + (entry.bytes ? std::to_string(*entry.bytes) : "no") +
         " bytes, outcome " + std::to_string(static_cast<int>(entry.outcome)) + " " + entry.reason;
}

Outcome OutcomeOf(const RunReport& report) {
  Outcome outcome{{}, report.Totals()};
  for (size_t item = 0; item < report.ItemCount(); ++item) {
    std::vector<ReportEntry> entries;
    for (size_t row = 0; row < report.Item(item).shownEntries; ++row) {
      entries.push_back(report.Entry(item, row));
    }
    std::vector<std::string> shown;
    for (const ReportEntry& entry : test::AsCleaned(std::move(entries))) {
      shown.push_back(Shown(entry));
    }
    outcome.items.push_back(std::move(shown));
  }
  return outcome;
}

// A home with a Firefox profile whose cache folder holds cache files beside another folder
// of the browser's, and a trash with a file and a folder in it; the run's items reach
// them by the cache walk, by folder walks and by emptying the trash.
class PreviewOverlapRun {
 public:
  PreviewOverlapRun() : browsers(temp / "home") {
    browsers.FirefoxProfile(kProfile);
    const std::string profile = std::string(kFirefoxCaches) + kProfile;
    for (int n = 0; n < 3; ++n) {
      temp.Write(profile + "/cache2/entries/ENTRY" + std::to_string(n),
                 test::FirefoxCacheBytes(":https://mozilla.example/" + std::to_string(n),
                                         static_cast<size_t>(n) * 6000 + 10));
    }
    temp.Write(profile + "/startupCache/scriptCache.bin", std::string(5000, 's'));
    TrashFile("notes.txt", std::string(7000, 'n'));
    TrashFile("photo.jpg", "jpeg");
    actions.Register(ItemKind::Files, DeleteFilesAction(NativeFileSystem()));
    actions.Register(ItemKind::TemporaryInternetFiles, MakeUrlCacheActions(cache).deleteCacheFiles);
    actions.Register(ItemKind::RecycleBin, EmptyRecycleBinAction(trash));
    actions.Register(ItemKind::BrowserFamilyFiles,
                     CleanBrowserFamilyAction(profiles, NativeFileSystem()));
  }

  // Runs items, every one checked; the real run says yes to the trash's question.
  Outcome Run(const CleanItemList& items, bool preview) {
    page.elements.clear();
    for (const CleanItem& item : items) {
      page.Box(item.Key, true);
    }
    if (!preview) {
      for (const CleanItem& item : items) {
        if (item.Kind == static_cast<int32_t>(ItemKind::RecycleBin)) {
          ui.AnswerMessage(MessageAnswer::kYes);
        }
      }
      ui.AnswerMessage(MessageAnswer::kOk);
    }
    RunReport report;
    CleanRun(items, page, ui, actions, restart, {.preview = preview, .report = &report});
    EXPECT_TRUE(ui.ScriptUsedUp());
    return OutcomeOf(report);
  }

  test::TempFolder temp;

 private:
  void TrashFile(const std::string& name, const std::string& content) {
    temp.Write(std::string(kTrash) + "files/" + name, content);
    temp.Write(std::string(kTrash) + "info/" + name + ".trashinfo",
               "[Trash Info]\nPath=/home/u/" + name + "\nDeletionDate=2026-12-01T10:00:00\n");
  }

  test::BrowserFixture browsers;
  BrowserUrlCache cache{browsers.Folders()};
  InstalledBrowserProfiles profiles{browsers.Folders()};
  FreedesktopTrash trash{(temp / kTrash).string(), {}, getuid()};
  CleanActions actions;
  test::InMemoryDocument page;
  test::ScriptedUserInterface ui;
  RefusedRestart restart;
};

CleanItem Item(const char* key, ItemKind kind, const std::string& path = {},
               const char* mask = "") {
  return {key, key, static_cast<int32_t>(kind), path, mask, false, false, false};
}

struct OverlapCase {
  const char* name;
  // The folders of file items are relative to the run's temporary folder.
  std::vector<CleanItem> items;
  uint64_t previewEntries;  // every file once, whichever item reaches it first
};

void PrintTo(const OverlapCase& overlap, std::ostream* out) {
  *out << overlap.name;
}

class PreviewOverlapTest : public testing::TestWithParam<OverlapCase> {};

// The preview changes nothing, and item for item its entries and its totals are what the
// real run then reports: a file two items reach is listed once, under the first.
TEST_P(PreviewOverlapTest, APreviewCountsEachFileOnceAsTheRunRemovesIt) {
  PreviewOverlapRun run;
  CleanItemList items = GetParam().items;
  for (CleanItem& item : items) {
    if (item.Kind == static_cast<int32_t>(ItemKind::Files)) {
      item.Path = (run.temp / item.Path).string();
    }
  }
  const auto before = test::SnapshotTree(run.temp.Path());

  const Outcome previewed = run.Run(items, true);
  EXPECT_EQ(test::SnapshotTree(run.temp.Path()), before);
  EXPECT_EQ(previewed.totals.Entries(), GetParam().previewEntries);

  const Outcome cleaned = run.Run(items, false);
  ASSERT_EQ(previewed.items.size(), cleaned.items.size());
  for (size_t item = 0; item < cleaned.items.size(); ++item) {
    EXPECT_EQ(previewed.items[item], cleaned.items[item]) << items[item].Key;
  }
  EXPECT_EQ(previewed.totals.count, cleaned.totals.count);
  EXPECT_EQ(previewed.totals.bytes, cleaned.totals.bytes);
}

const std::string kFirefoxProfileCaches = std::string(kFirefoxCaches) + kProfile + "/";

INSTANTIATE_TEST_SUITE_P(
    Overlaps, PreviewOverlapTest,
    testing::Values(
        OverlapCase{"CacheFilesThenTheBrowsersCacheFolder",
                    {Item("tif", ItemKind::TemporaryInternetFiles),
                     Item("ffcache", ItemKind::Files, kFirefoxCaches, "*")},
                    4},
        OverlapCase{"TheBrowsersCacheFolderThenCacheFiles",
                    {Item("ffcache", ItemKind::Files, kFirefoxCaches, "*"),
                     Item("tif", ItemKind::TemporaryInternetFiles)},
                    4},
        OverlapCase{"CacheFilesThenTheFirefoxCachesOfEveryProfile",
                    {Item("tif", ItemKind::TemporaryInternetFiles),
                     Item("family", ItemKind::BrowserFamilyFiles, "firefox-cache", "cache2/*")},
                    3},
        OverlapCase{"TheFirefoxCachesOfEveryProfileThenCacheFiles",
                    {Item("family", ItemKind::BrowserFamilyFiles, "firefox-cache", "cache2/*"),
                     Item("tif", ItemKind::TemporaryInternetFiles)},
                    3},
        OverlapCase{"AFolderThenAFolderInside",
                    {Item("profile", ItemKind::Files, kFirefoxProfileCaches, "*"),
                     Item("entries", ItemKind::Files, kFirefoxProfileCaches + "cache2/", "ENTRY*"),
                     Item("again", ItemKind::Files, kFirefoxProfileCaches, "*")},
                    4},
        OverlapCase{"TheTrashThenItsFilesFolder",
                    {Item("bin", ItemKind::RecycleBin),
                     Item("trashed", ItemKind::Files, std::string(kTrash) + "files/", "*")},
                    2},
        OverlapCase{"ItsFilesFolderThenTheTrash",
                    {Item("trashed", ItemKind::Files, std::string(kTrash) + "files/", "*"),
                     Item("bin", ItemKind::RecycleBin)},
                    4}),
    [](const testing::TestParamInfo<OverlapCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hv
