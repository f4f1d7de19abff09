#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "RecordingFileSystem.h"
#include "TempFolder.h"
#include "fileio/DeleteFiles.h"
#include "fileio/FileList.h"
#include "platform/posix/PosixFileSystem.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using namespace FileAttribute;
using test::ReadFile;
using test::RecordingFileSystem;
using test::TempFolder;

// Folders whose listings the test writes down, in the order the file system would give.
class ScriptedFolders : public PosixFileSystem {
 public:
  std::map<std::string, std::vector<FolderEntry>> folders;
  std::vector<FolderEntry> ListFolder(const std::string& path) override { return folders[path]; }
};

struct WalkCase {
  const char* what;
  std::map<std::string, std::vector<FolderEntry>> folders;
  FileList listed;
  FileList walked;
};

// Each folder is listed before what it holds, subfolders in the order found; the list is
// then walked backwards, deepest first.
TEST(BuildFileListTest, ListsEachFolderBeforeItsContentAndWalksDeepestFirst) {
  const WalkCase cases[] = {
      {"the documented example",
       {{"R/", {{"a.txt", kNormal}, {"b.txt", kNormal}, {"S", kDirectory}}},
        {"R/S/", {{"c.txt", kNormal}}}},
       {"R/a.txt", "R/b.txt", "R/S", "R/S/c.txt"},
       {"R/S/c.txt", "R/S", "R/b.txt", "R/a.txt"}},
      {"nested folders",
       {{"R/", {{"A", kDirectory}, {"f", kNormal}, {"B", kDirectory}}},
        {"R/A/", {{"a1", kNormal}, {"AA", kDirectory}}},
        {"R/A/AA/", {{"aa1", kNormal}}},
        {"R/B/", {{"b1", kNormal}}}},
       {"R/A", "R/f", "R/B", "R/A/a1", "R/A/AA", "R/A/AA/aa1", "R/B/b1"},
       {"R/B/b1", "R/A/AA/aa1", "R/A/AA", "R/A/a1", "R/B", "R/f", "R/A"}},
  };
  for (const WalkCase& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedFolders files;
    files.folders = c.folders;
    FileList listed;
    ListFolder("R/", listed, files);
    EXPECT_EQ(listed, c.listed);
    EXPECT_EQ(BuildFileList("R/", files), c.walked);
  }
}

struct EntryCase {
  const char* what;  // the test's name
  FolderEntry entry;
  bool listed;
  bool entered;
};

class ListedEntryTest : public testing::TestWithParam<EntryCase> {};

TEST_P(ListedEntryTest, FollowsTheAttributeRules) {
  ScriptedFolders files;
  const std::string name = GetParam().entry.name;
  files.folders["R/"] = {GetParam().entry};
  files.folders["R/" + name + "/"] = {{"inside", kNormal}};

  FileList expected;
  if (GetParam().listed) {
    expected.push_back("R/" + name);
  }
  if (GetParam().entered) {
    expected.insert(expected.begin(), "R/" + name + "/inside");
  }
  EXPECT_EQ(BuildFileList("R/", files), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, ListedEntryTest,
    testing::Values(EntryCase{"File", {"f", kNormal}, true, false},
                    EntryCase{"ReadOnlyFile", {"f", kReadOnly}, true, false},
                    EntryCase{"HiddenFile", {".f", kHidden}, false, false},
                    EntryCase{"SystemFile", {"f", kSystem}, false, false},
                    EntryCase{"PlainFolder", {"d", kDirectory}, true, true},
                    EntryCase{"FolderWithArchiveBit", {"d", kDirectory | kArchive}, true, false},
                    EntryCase{"ReadOnlyFolder", {"d", kDirectory | kReadOnly}, true, false},
                    EntryCase{"HiddenFolder", {".d", kDirectory | kHidden}, false, false},
                    EntryCase{"MountPoint", {"d", kDirectory | kReparsePoint}, true, false},
                    EntryCase{"Link", {"l", kReparsePoint}, true, false}),
    [](const testing::TestParamInfo<EntryCase>& info) { return info.param.what; });

class DeleteFilesTest : public testing::Test {
 protected:
  std::string Root() const { return folder.Path().string() + "/"; }
  bool Exists(const std::string& relative) const {
    return fs::exists(fs::symlink_status(folder / relative));
  }

  TempFolder folder;
  RecordingFileSystem files{NativeFileSystem()};
};

// A folder goes once what it holds is gone (deepest first), whatever the mask; the root stays.
TEST_F(DeleteFilesTest, TouchesOnlyMatchingVisibleFilesAndEmptyPlainFolders) {
  const std::vector<std::string> kept = {
      "X.TMP",        "keep.dat",        ".hidden.tmp", ".hiddenfolder/z.tmp",
      "sub/keep.dat", "readonly/y2.tmp", "sub",         "readonly"};
  const std::vector<std::string> gone = {"y.tmp", "sub/deep.tmp", "e1", "onlytmp"};
  for (const char* file :
       {"X.TMP", "keep.dat", ".hidden.tmp", ".hiddenfolder/z.tmp", "sub/keep.dat", "sub/deep.tmp",
        "readonly/y2.tmp", "y.tmp", "onlytmp/w.tmp"}) {
    folder.Write(file, "data");
  }
  fs::create_directories(folder / "e1/e2/e3");
  chmod((folder / "readonly").c_str(), 0555);

  DeleteFiles(Root(), "*.tmp", false, files);

  EXPECT_TRUE(fs::is_directory(folder.Path()));
  for (const std::string& path : kept) {
    EXPECT_TRUE(Exists(path)) << path << " should stay";
  }
  for (const std::string& path : gone) {
    EXPECT_FALSE(Exists(path)) << path << " should be gone";
  }
}

TEST_F(DeleteFilesTest, LinksLeadNowhereOutsideTheFolder) {
  const TempFolder outside;
  const fs::path outsideFile = outside.Write("target.tmp", "keep");
  outside.Write("inner/deep.tmp", "keep too");
  fs::create_directory_symlink(outside / "inner", folder / "linked-folder");
  fs::create_symlink(outsideFile, folder / "linked-file.tmp");

  DeleteFiles(Root(), "*", true, files);

  EXPECT_EQ(ReadFile(outsideFile), "keep");
  EXPECT_EQ(ReadFile(outside / "inner/deep.tmp"), "keep too");
  EXPECT_TRUE(fs::is_symlink(folder / "linked-folder"));
  EXPECT_TRUE(fs::is_symlink(folder / "linked-file.tmp"));
  EXPECT_TRUE(files.openings.empty());
}

TEST_F(DeleteFilesTest, FilesAndFoldersVanishingDuringTheWalkArePassedOver) {
  for (const char* file : {"a.tmp", "b.tmp", "c.tmp", "gone/x.tmp", "gone/y.tmp"}) {
    folder.Write(file, "data");
  }
  const fs::path vanishing = folder / "b.tmp";
  bool removed = false;
  files.beforeFindEntry = [&] {
    if (!removed) {
      removed = true;
      fs::remove(vanishing);
      fs::remove_all(folder / "gone");
    }
  };

  EXPECT_NO_THROW(DeleteFiles(Root(), "*.tmp", false, files));

  EXPECT_TRUE(removed);
  EXPECT_TRUE(fs::is_empty(folder.Path()));
}

TEST_F(DeleteFilesTest, FolderNamedWithoutTrailingSeparatorOrThroughDotsIsCleaned) {
  for (const std::string& path : {folder.Path().string(), folder.Path().string() + "/sub/../"}) {
    folder.Write("a.tmp", "data");
    fs::create_directories(folder / "sub");

    DeleteFiles(path, "*.tmp", false, files);

    EXPECT_TRUE(fs::is_empty(folder.Path())) << path;
  }
}

TEST_F(DeleteFilesTest, MissingFolderDeletesNothingAndRaisesNothing) {
  EXPECT_NO_THROW(DeleteFiles(Root() + "missing/", "*", true, files));
  EXPECT_NO_THROW(DeleteFiles(folder.Write("file", "x").string() + "/", "*", true, files));
  EXPECT_TRUE(Exists("file"));
}

TEST(DeleteFilesRefusalTest, RefusesRelativeRootHomeAndAboveHomeFolders) {
  const fs::path home = std::getenv("HOME");
  const TempFolder links;
  fs::create_directory_symlink(home, links / "home-link");
  const std::vector<std::string> refused = {
      "",
      "relative/",
      "tmp",
      "./",
      "/",
      "/.",
      "/../",
      home.string(),
      home.string() + "/",
      home.string() + "/../" + home.filename().string() + "/",
      (links / "home-link").string() + "/",
      home.parent_path().string() + "/",
  };
  // Lists nothing: should a refusal fail, the walk still finds nothing to delete.
  ScriptedFolders files;
  for (const std::string& path : refused) {
    try {
      DeleteFiles(path, "*", true, files);
      ADD_FAILURE() << "'" << path << "' was not refused";
    } catch (const NumberedError& error) {
      EXPECT_EQ(error.Number(), 5) << path;
      EXPECT_NE(error.Description().find(path), std::string::npos) << error.Description();
    }
  }
}

}  // namespace
}  // namespace hv
