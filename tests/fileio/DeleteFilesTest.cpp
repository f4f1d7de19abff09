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

// The documented example: each folder is listed before what it holds, and the list is
// walked backwards, deepest first.
TEST(BuildFileListTest, ListsEachFolderBeforeItsContentAndWalksDeepestFirst) {
  ScriptedFolders files;
  files.folders = {{"R/", {{"a.txt", kNormal}, {"b.txt", kNormal}, {"S", kDirectory}}},
                   {"R/S/", {{"c.txt", kNormal}}}};
  FileList listed;
  ListFolder("R/", listed, files);
  EXPECT_EQ(listed, (FileList{"R/a.txt", "R/b.txt", "R/S", "R/S/c.txt"}));
  EXPECT_EQ(BuildFileList("R/", files), FileList(listed.rbegin(), listed.rend()));
}

// A mount point, which the real tree below cannot hold, is listed but never entered.
TEST(BuildFileListTest, AMountPointIsNotEntered) {
  ScriptedFolders files;
  files.folders = {{"R/", {{"m", kDirectory | kReparsePoint}}}, {"R/m/", {{"inside", kNormal}}}};
  EXPECT_EQ(BuildFileList("R/", files), FileList{"R/m"});
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
// stays; links lead nowhere outside the folder; hidden entries, a folder with more than the
// folder attribute (read-only) and what is not a file (a pipe) are left alone.
TEST_F(DeleteFilesTest, TouchesOnlyMatchingVisibleFilesAndEmptyPlainFolders) {
  const std::vector<std::string> kept = {
      "X.TMP",         "keep.dat",        ".hidden.tmp",     ".hiddenfolder/z.tmp",
      "sub/keep.dat",  "readonly",        "readonly/y2.tmp", "sub",
      "linked-folder", "linked-file.tmp", "pipe.tmp",        "dangling.tmp"};
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
  fs::create_symlink(outside / "nowhere", folder / "dangling.tmp");
  ASSERT_EQ(mkfifo((folder / "pipe.tmp").c_str(), 0644), 0);

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

// A folder named without its closing separator is cleaned; a missing folder, or a file
// named as one, deletes nothing and raises nothing.
TEST_F(DeleteFilesTest, AFolderWithoutSeparatorIsCleanedAndAMissingOneIsPassedOver) {
  folder.Write("a.tmp", "data");
  DeleteFiles(folder.Path().string(), "*.tmp", false, files);
  EXPECT_TRUE(fs::is_empty(folder.Path()));
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
       {""s, "relative/"s, "/"s, "/../"s, home.string(), homeAgain,
        (links / "home-link").string() + "/", home.parent_path().string() + "/"}) {
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
