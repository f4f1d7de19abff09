#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <iterator>
#include <string>
#include <thread>

#include "PreviewCheck.h"
#include "RecordingSink.h"
#include "ScopedEnvironment.h"
#include "ScriptedUserInterface.h"
#include "TempFolder.h"
#include "clean/RecycleBinAction.h"
#include "platform/posix/FreedesktopTrash.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::ScriptedUserInterface;
using test::TempFolder;

// Puts an item into the trash folder as a file manager would: the item under files/ and
// its info file under info/.
void Trash(const TempFolder& root, const std::string& trash, const std::string& name,
           bool folder = false) {
  if (folder) {
    root.Write(trash + "/files/" + name + "/inner/deep.txt", "deep");
    root.Write(trash + "/files/" + name + "/top.txt", "top");
  } else {
    root.Write(trash + "/files/" + name, "content of " + name);
  }
  root.Write(trash + "/info/" + name + ".trashinfo",
             "[Trash Info]\nPath=/home/u/" + name + "\nDeletionDate=2026-12-01T10:00:00\n");
}

ptrdiff_t EntriesIn(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

class FreedesktopTrashTest : public testing::Test {
 protected:
  FreedesktopTrash TrashOf(std::vector<std::string> tops = {}) {
    return FreedesktopTrash((root / "data/Trash").string(), std::move(tops), getuid());
  }
  TempFolder root;
  ScriptedUserInterface ui;
  const std::string uid = std::to_string(getuid());
};

// The recycle bin item of a run keeps everything after No and empties the whole trash
// after Yes: files, folders (one with a read-only folder inside), links (removed, not
// followed) and orphan info files. A missing or empty trash asks nothing.
TEST_F(FreedesktopTrashTest, TheRecycleBinItemEmptiesEverythingAfterYesOnly) {
  test::RecordingSink report;
  FreedesktopTrash((root / "none").string(), {}, getuid()).EmptyWithConfirmation(ui, report, false);
  Trash(root, "data/Trash", "a.txt");
  Trash(root, "data/Trash", "folder", true);
  fs::permissions(root / "data/Trash/files/folder/inner",
                  fs::perms::owner_read | fs::perms::owner_exec);
  const auto outside = root.Write("outside/keep.txt", "keep me");
  Trash(root, "data/Trash", "link");
  fs::remove(root / "data/Trash/files/link");
  fs::create_directory_symlink(outside.parent_path(), root / "data/Trash/files/link");
  root.Write("data/Trash/info/gone.trashinfo", "[Trash Info]\n");

  FreedesktopTrash trash = TrashOf();
  EXPECT_EQ(trash.CountItems(), 4u);
  ui.AnswerMessage(7);
  ui.AnswerMessage(6);
  CleanContext context{.ui = ui, .report = report};
  EmptyRecycleBinAction(trash)(CleanItem{}, context);
  EXPECT_EQ(trash.CountItems(), 4u);
  EXPECT_EQ(test::ReadFile(root / "data/Trash/files/a.txt"), "content of a.txt");
  EmptyRecycleBinAction(trash)(CleanItem{}, context);
  trash.EmptyWithConfirmation(ui, report, false);

  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "Are you sure you want to permanently delete these 4 items?");
  EXPECT_EQ(ui.messages[1].style, 36);
  EXPECT_EQ(EntriesIn(root / "data/Trash/files"), 0);
  EXPECT_EQ(EntriesIn(root / "data/Trash/info"), 0);
  EXPECT_EQ(test::ReadFile(outside), "keep me");
  // Each item once, by where it came from; an orphan info file by its place in the trash.
  std::vector<std::string> reported;
  for (const ReportEntry& entry : report.entries) {
    EXPECT_EQ(entry.outcome, EntryOutcome::kRemoved) << entry.what;
    reported.push_back(entry.what);
  }
  EXPECT_EQ(reported,
            (std::vector<std::string>{"/home/u/a.txt", "/home/u/folder",
                                      (root / "data/Trash/files/gone").string(), "/home/u/link"}));
}

// A preview asks nothing and leaves both trashes as they were, to the byte; it lists each
// item by the path it was trashed from (relative paths of a file system's own trash from
// its top folder, escapes undone) with what it takes up, which is what emptying reports.
TEST_F(FreedesktopTrashTest, APreviewChangesNothingAndListsWhatEmptyingRemoves) {
  Trash(root, "data/Trash", "a.txt");
  Trash(root, "data/Trash", "folder", true);
  root.Write("data/Trash/files/big", std::string(200000, 'b'));
  root.Write("data/Trash/directorysizes", "8 1 folder\n");
  root.Write("mount/.Trash-" + uid + "/files/two words", "content");
  root.Write("mount/.Trash-" + uid + "/info/two words.trashinfo",
             "[Trash Info]\nPath=dir/two%20words\nDeletionDate=2026-12-01T10:00:00\n");
  FreedesktopTrash trash = TrashOf({(root / "mount").string()});
  const auto before = test::SnapshotTree(root.Path());
  test::RecordingSink report;

  trash.EmptyWithConfirmation(ui, report, true);

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(test::SnapshotTree(root.Path()), before);
  std::vector<std::string> listed;
  for (const ReportEntry& entry : report.entries) {
    EXPECT_EQ(entry.type, EntryType::kTrashItem);
    EXPECT_EQ(entry.outcome, EntryOutcome::kWouldBeRemoved);
    listed.push_back(entry.what);
  }
  EXPECT_EQ(listed,
            (std::vector<std::string>{"/home/u/a.txt", (root / "data/Trash/files/big").string(),
                                      "/home/u/folder", (root / "mount/dir/two words").string()}));
  struct stat big {};
  ASSERT_EQ(stat((root / "data/Trash/files/big").c_str(), &big), 0);
  EXPECT_EQ(report.entries[1].bytes, static_cast<uint64_t>(big.st_blocks) * 512);
  EXPECT_GT(*report.entries[2].bytes, 0u);  // the folder with what it holds
  const std::vector<ReportEntry> previewed = report.entries;

  report.entries.clear();
  ui.AnswerMessage(6);
  trash.EmptyWithConfirmation(ui, report, false);
  EXPECT_EQ(report.entries, test::AsCleaned(previewed));
  EXPECT_EQ(trash.CountItems(), 0u);
  EXPECT_EQ(test::ReadFile(root / "data/Trash/directorysizes"), "");
}

// Asked to stop, emptying ends between two items: those reported are gone, the rest whole.
TEST_F(FreedesktopTrashTest, AStopRequestEndsEmptyingBetweenTwoItems) {
  for (const char* name : {"a", "b", "c", "d"}) {
    Trash(root, "data/Trash", name);
  }
  test::RecordingSink report;
  report.stopAfter = 2;
  TrashOf().EmptyAll(report);
  EXPECT_EQ(report.entries.size(), 2u);
  EXPECT_EQ(TrashOf().CountItems(), 2u);
  EXPECT_TRUE(fs::exists(root / "data/Trash/info/d.trashinfo"));
}

TEST_F(FreedesktopTrashTest, TopDirectoryTrashesFollowTheRules) {
  // mount1: a private .Trash-$uid; mount2: a sticky shared .Trash; mount3: a shared .Trash
  // without the sticky bit, which must be left alone; mount4: .Trash is a symlink.
  Trash(root, "mount1/.Trash-" + uid, "one.txt");
  Trash(root, "mount2/.Trash/" + uid, "two.txt");
  Trash(root, "mount3/.Trash/" + uid, "three.txt");
  Trash(root, "elsewhere/" + uid, "four.txt");
  fs::create_directories(root / "mount4");
  fs::create_directory_symlink(root / "elsewhere", root / "mount4/.Trash");
  chmod((root / "mount2/.Trash").c_str(), 01777);
  chmod((root / "mount3/.Trash").c_str(), 0777);
  chmod((root / "elsewhere").c_str(), 01777);

  FreedesktopTrash trash = TrashOf({(root / "mount1").string(), (root / "mount2/").string(),
                                    (root / "mount3").string(), (root / "mount4").string()});
  EXPECT_EQ(trash.TrashFolders(),
            (std::vector<std::string>{(root / "mount1/.Trash-").string() + uid,
                                      (root / "mount2/.Trash/").string() + uid}));
  EXPECT_EQ(trash.CountItems(), 2u);
  ui.AnswerMessage(6);
  test::RecordingSink report;
  trash.EmptyWithConfirmation(ui, report, false);

  EXPECT_FALSE(fs::exists(root / ("mount1/.Trash-" + uid) / "files/one.txt"));
  EXPECT_FALSE(fs::exists(root / ("mount2/.Trash/" + uid) / "files/two.txt"));
  EXPECT_TRUE(fs::exists(root / ("mount3/.Trash/" + uid) / "files/three.txt"));
  EXPECT_TRUE(fs::exists(root / ("elsewhere/" + uid) / "files/four.txt"));
}

// A shared trash folder swapped back and forth with a link to another folder while the
// trash is emptied: only the real trash is ever emptied, never the link's target.
TEST_F(FreedesktopTrashTest, ASharedTrashSwappedForALinkLeadsNowhereElse) {
  constexpr int kTries = 2000;
  const fs::path top = root / "mount";
  const fs::path shared = top / ".Trash";
  const fs::path link = top / "link";
  Trash(root, "mount/.Trash/" + uid, "inside.txt");
  Trash(root, "elsewhere/" + uid, "victim.txt");
  chmod(shared.c_str(), 01777);
  chmod((root / "elsewhere").c_str(), 01777);
  fs::create_directory_symlink(root / "elsewhere", link);
  std::atomic<bool> done = false;
  std::thread swapper([&] {
    while (!done) {
      renameat2(AT_FDCWD, shared.c_str(), AT_FDCWD, link.c_str(), RENAME_EXCHANGE);
    }
  });
  const FreedesktopTrash trash = TrashOf({top.string()});
  int reachedElsewhere = 0;
  test::RecordingSink report;
  for (int i = 0; i < kTries; ++i) {
    trash.EmptyAll(report);
    if (!fs::exists(root / ("elsewhere/" + uid) / "files/victim.txt")) {
      ++reachedElsewhere;
      Trash(root, "elsewhere/" + uid, "victim.txt");
    }
  }
  done = true;
  swapper.join();
  EXPECT_EQ(reachedElsewhere, 0) << "of " << kTries;
}

TEST(FreedesktopTrashOfUser, HomeTrashFollowsXdgDataHome) {
  const TempFolder data;
  test::ScopedEnvironment env;
  env.Set("XDG_DATA_HOME", data.Path().string());
  data.Write("Trash/files/a", "a");
  const auto folders = FreedesktopTrash::ForCurrentUser().TrashFolders();
  ASSERT_FALSE(folders.empty());
  EXPECT_EQ(folders.front(), (data / "Trash").string());
}

}  // namespace
}  // namespace hv
