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
using namespace std::string_literals;
using test::ReadFile;
using test::RecordingFileSystem;
using test::TempFolder;

// Folders whose listings the test writes down, in the order the file system would give.
class ScriptedFolders : public PosixFileSystem {
 public:
  std::map<std::string, std::vector<FolderEntry>> folders;
  std::vector<FolderEntry> ListFolder(const std::string& path) override { return folders[path]; }
};

// Each folder is listed before what it holds, subfolders in the order found; the list is
// then walked backwards, deepest first.
TEST(BuildFileListTest, ListsEachFolderBeforeItsContentAndWalksDeepestFirst) {
  const struct {
    const char* what;
    std::map<std::string, std::vector<FolderEntry>> folders;
    FileList listed;
  } cases[] = {
      {"the documented example",
       {{"R/", {{"a.txt", kNormal}, {"b.txt", kNormal}, {"S", kDirectory}}},
        {"R/S/", {{"c.txt", kNormal}}}},
       {"R/a.txt", "R/b.txt", "R/S", "R/S/c.txt"}},
      {"nested folders",
       {{"R/", {{"A", kDirectory}, {"f", kNormal}, {"B", kDirectory}}},
        {"R/A/", {{"a1", kNormal}, {"AA", kDirectory}}},
        {"R/A/AA/", {{"aa1", kNormal}}},
        {"R/B/", {{"b1", kNormal}}}},
       {"R/A", "R/f", "R/B", "R/A/a1", "R/A/AA", "R/A/AA/aa1", "R/B/b1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedFolders files;
    files.folders = c.folders;
    FileList listed;
    ListFolder("R/", listed, files);
    EXPECT_EQ(listed, c.listed);
    EXPECT_EQ(BuildFileList("R/", files), FileList(c.listed.rbegin(), c.listed.rend()));
  }
}

// Which entries the walk lists and which folders it enters, by their attributes.
TEST(BuildFileListTest, FollowsTheAttributeRules) {
  const struct {
    FolderEntry entry;
    bool listed;
    bool entered;
  } cases[] = {
      {{"f", kNormal}, true, false},
      {{"f", kReadOnly}, true, false},
      {{".f", kHidden}, false, false},
      {{"f", kSystem}, false, false},
      {{"d", kDirectory}, true, true},
      {{"d", kDirectory | kArchive}, true, false},
      {{"d", kDirectory | kReadOnly}, true, false},
      {{".d", kDirectory | kHidden}, false, false},
      {{"d", kDirectory | kReparsePoint}, true, false},  // a mount point
      {{"l", kReparsePoint}, true, false},               // a link
  };
  for (const auto& c : cases) {
    ScriptedFolders files;
    const std::string name = c.entry.name;
    files.folders["R/"] = {c.entry};
    files.folders["R/" + name + "/"] = {{"inside", kNormal}};
    FileList expected;
    if (c.entered) {
      expected.push_back("R/" + name + "/inside");
    }
    if (c.listed) {
      expected.push_back("R/" + name);
    }
    EXPECT_EQ(BuildFileList("R/", files), expected) << name << " " << c.entry.attributes;
  }
}

class DeleteFilesTest : public testing::Test {
 protected:
  std::string Root() const { return folder.Path().string() + "/"; }
  bool Exists(const std::string& relative) const {
    return fs::exists(fs::symlink_status(folder / relative));
  }

  TempFolder folder;
  RecordingFileSystem files{NativeFileSystem()};
};

// A folder goes once what it holds is gone (deepest first), whatever the mask; the root
// stays; links lead nowhere outside the folder.
TEST_F(DeleteFilesTest, TouchesOnlyMatchingVisibleFilesAndEmptyPlainFolders) {
  const std::vector<std::string> kept = {
      "X.TMP",    "keep.dat",        ".hidden.tmp", ".hiddenfolder/z.tmp", "sub/keep.dat",
      "readonly", "readonly/y2.tmp", "sub",         "linked-folder",       "linked-file.tmp"};
  const std::vector<std::string> gone = {"y.tmp", "sub/deep.tmp", "e1", "onlytmp"};
  for (const char* file :
       {"X.TMP", "keep.dat", ".hidden.tmp", ".hiddenfolder/z.tmp", "sub/keep.dat", "sub/deep.tmp",
        "readonly/y2.tmp", "y.tmp", "onlytmp/w.tmp"}) {
    folder.Write(file, "data");
  }
  fs::create_directories(folder / "e1/e2/e3");
  chmod((folder / "readonly").c_str(), 0555);
  const TempFolder outside;
  const fs::path outsideFile = outside.Write("target.tmp", "keep");
  outside.Write("inner/deep.tmp", "keep too");
  fs::create_directory_symlink(outside / "inner", folder / "linked-folder");
  fs::create_symlink(outsideFile, folder / "linked-file.tmp");

  DeleteFiles(Root(), "*.tmp", true, files);

  EXPECT_TRUE(fs::is_directory(folder.Path()));
  for (const std::string& path : kept) {
    EXPECT_TRUE(Exists(path)) << path << " should stay";
  }
  for (const std::string& path : gone) {
    EXPECT_FALSE(Exists(path)) << path << " should be gone";
  }
  EXPECT_EQ(ReadFile(outsideFile), "keep");
  EXPECT_EQ(ReadFile(outside / "inner/deep.tmp"), "keep too");
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

// A missing folder, or a file named as one, deletes nothing and raises nothing.
TEST_F(DeleteFilesTest, OtherSpellingsOfTheFolderAreCleanedAndAMissingOneIsPassedOver) {
  for (const std::string& path : {folder.Path().string(), folder.Path().string() + "/sub/../"}) {
    folder.Write("a.tmp", "data");
    fs::create_directories(folder / "sub");
    DeleteFiles(path, "*.tmp", false, files);
    EXPECT_TRUE(fs::is_empty(folder.Path())) << path;
  }
  EXPECT_NO_THROW(DeleteFiles(Root() + "missing/", "*", true, files));
  EXPECT_NO_THROW(DeleteFiles(folder.Write("file", "x").string() + "/", "*", true, files));
  EXPECT_TRUE(Exists("file"));
}

TEST(DeleteFilesRefusalTest, RefusesRelativeRootHomeAndAboveHomeFolders) {
  const fs::path home = std::getenv("HOME");
  const TempFolder links;
  fs::create_directory_symlink(home, links / "home-link");
  // Lists nothing: should a refusal fail, the walk still finds nothing to delete.
  ScriptedFolders files;
  const std::string homeAgain = home.string() + "/../" + home.filename().string() + "/";
  for (const std::string& path :
       {""s, "relative/"s, "tmp"s, "./"s, "/"s, "/."s, "/../"s, home.string(), home.string() + "/",
        homeAgain, (links / "home-link").string() + "/", home.parent_path().string() + "/"}) {
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
