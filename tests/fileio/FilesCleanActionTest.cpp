#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "EnvironmentVariable.h"
#include "InMemoryDocument.h"
#include "RecordingFileSystem.h"
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

TEST_F(FilesCleanRunTest, WipeSettingDecidesWhetherTheFilesAreOverwritten) {
  for (const bool wipe : {false, true}) {
    folder.Write("cache/a.tmp", "secret");
    page.elements.clear();
    page.Box("cache", true);
    ui.settings[0] = wipe;
    RecordingFileSystem files{NativeFileSystem()};
    CleanActions actions;
    actions.Register(ItemKind::Files, DeleteFilesAction(files));

    Run({FilesItem("cache", "%HUSHVAULT_TEST_TRACES%/cache/", "*.tmp")}, actions);

    EXPECT_FALSE(fs::exists(folder / "cache/a.tmp")) << "wipe " << wipe;
    EXPECT_EQ(files.PassData().empty(), !wipe) << "wipe " << wipe;
  }
}

}  // namespace
}  // namespace hv
