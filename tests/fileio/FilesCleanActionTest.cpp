#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "EnvironmentVariable.h"
#include "InMemoryDocument.h"
#include "PreviewCheck.h"
#include "RecordingFileSystem.h"
#include "RecordingSink.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "clean/CleanRun.h"
#include "clean/FilesCleanAction.h"
#include "clean/StandardCleanActions.h"
#include "platform/PlatformServices.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::InMemoryDocument;
using test::RecordingFileSystem;
using test::ScriptedUserInterface;
using test::TempFolder;

constexpr const char* kFolderVariable = "HUSHVAULT_TEST_TRACES";

CleanItem FilesItem(const std::string& key, const std::string& path, const std::string& mask) {
  CleanItem item;
  item.Key = key;
  item.Caption = "traces " + key;
  item.Kind = static_cast<int32_t>(ItemKind::Files);
  item.Path = path;
  item.Mask = mask;
  return item;
}

// A run over file items of a folder named through an environment placeholder.
class FilesCleanRunTest : public testing::Test {
 protected:
  FilesCleanRunTest() { test::SetVariable(kFolderVariable, folder.Path().string()); }
  ~FilesCleanRunTest() override { test::UnsetVariable(kFolderVariable); }

  void Run(const CleanItemList& items, const CleanActions& actions) {
    ui.AnswerMessage(MessageAnswer::kOk);
    CleanRun(items, page, ui, actions, *services.restart);
    EXPECT_TRUE(ui.ScriptUsedUp());
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, "Cleanup Complete!");
  }

  TempFolder folder;
  InMemoryDocument page;
  ScriptedUserInterface ui;
  PlatformServices services = MakePlatformServices();
};

TEST_F(FilesCleanRunTest, ItemsDeleteTheirMatchingFilesInTheExpandedFolder) {
  folder.Write("cache/a.tmp", "a");
  folder.Write("cache/sub/b.tmp", "b");
  folder.Write("cache/keep.dat", "keep");
  page.Box("cache", true);

  Run({FilesItem("cache", "%HUSHVAULT_TEST_TRACES%/cache/", "*.tmp")},
      StandardCleanActions(services));

  EXPECT_FALSE(fs::exists(folder / "cache/a.tmp"));
  EXPECT_FALSE(fs::exists(folder / "cache/sub"));
  EXPECT_TRUE(fs::exists(folder / "cache/keep.dat"));
}

// Both file kinds wipe, or not, as the run's setting says.
TEST_F(FilesCleanRunTest, WipeSettingDecidesWhetherTheFilesAreOverwritten) {
  for (const ItemKind kind : {ItemKind::Files, ItemKind::NamedFiles}) {
    for (const bool wipe : {false, true}) {
      SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(kind) << " wipe " << wipe);
      folder.Write("cache/a.tmp", "secret");
      page.elements.clear();
      page.Box("cache", true);
      ui.settings[0] = wipe;
      RecordingFileSystem files{NativeFileSystem()};
      CleanActions actions;
      actions.Register(ItemKind::Files, DeleteFilesAction(files));
      actions.Register(ItemKind::NamedFiles, DeleteNamedFilesAction(files));
      CleanItem item = FilesItem("cache", "%HUSHVAULT_TEST_TRACES%/cache/", "*.tmp");
      item.Kind = static_cast<int32_t>(kind);

      Run({item}, actions);

      EXPECT_FALSE(fs::exists(folder / "cache/a.tmp"));
      EXPECT_EQ(files.PassData().empty(), !wipe);
    }
  }
}

// The item's action previews in its expanded folder, asks nothing and changes nothing, and
// lists what the cleaning then removes.
TEST_F(FilesCleanRunTest, APreviewOfAnItemChangesNothingAndListsWhatCleaningRemoves) {
  folder.Write("cache/a.tmp", "a");
  folder.Write("cache/sub/b.tmp", std::string(9000, 'b'));
  folder.Write("cache/keep.dat", "keep");
  const CleanAction action = DeleteFilesAction(NativeFileSystem());
  const CleanItem item = FilesItem("cache", "%HUSHVAULT_TEST_TRACES%/cache/", "*.tmp");
  test::RecordingSink report;
  const auto before = test::SnapshotTree(folder.Path());

  CleanContext preview{.ui = ui, .report = report, .preview = true};
  action(item, preview);

  EXPECT_EQ(test::SnapshotTree(folder.Path()), before);
  ASSERT_EQ(report.entries.size(), 2u);
  const std::vector<ReportEntry> previewed = report.entries;
  report.entries.clear();
  CleanContext cleaning{.ui = ui, .report = report};
  action(item, cleaning);
  EXPECT_EQ(report.entries, test::AsCleaned(previewed));
  EXPECT_EQ(test::NamesIn(folder / "cache"), (std::set<std::string>{"keep.dat"}));
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace hv
