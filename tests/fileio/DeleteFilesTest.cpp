#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(BuildFileListTest, ListsEachFolderBeforeItsContentAndWalksDeepestFirst) {
  ScriptedFolders files;
  files.folders["R/"] = {{"a.txt", kNormal}, {"b.txt", kNormal}, {"S", kDirectory}};
  files.folders["R/S/"] = {{"c.txt", kNormal}};

  FileList listed;
  ListFolder("R/", listed, files);
  EXPECT_EQ(listed, (FileList{"R/a.txt", "R/b.txt", "R/S", "R/S/c.txt"}));
  EXPECT_EQ(BuildFileList("R/", files), (FileList{"R/S/c.txt", "R/S", "R/b.txt", "R/a.txt"}));
}

TEST(BuildFileListTest, LastListedSubfolderComesFirstAndItsOwnSubfoldersBeforeIt) {
  ScriptedFolders files;
  files.folders["R/"] = {{"A", kDirectory}, {"f", kNormal}, {"B", kDirectory}};
  files.folders["R/A/"] = {{"a1", kNormal}, {"AA", kDirectory}};
  files.folders["R/A/AA/"] = {{"aa1", kNormal}};
  files.folders["R/B/"] = {{"b1", kNormal}};

  EXPECT_EQ(BuildFileList("R/", files),
            (FileList{"R/B/b1", "R/A/AA/aa1", "R/A/AA", "R/A/a1", "R/B", "R/f", "R/A"}));
}

struct EntryCase {
  const char* what;
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
  EXPECT_EQ(BuildFileList("R/", files), expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, ListedEntryTest,
    testing::Values(EntryCase{"file", {"f", kNormal}, true, false},
                    EntryCase{"read-only file", {"f", kReadOnly}, true, false},
                    EntryCase{"hidden file", {".f", kHidden}, false, false},
                    EntryCase{"system file", {"f", kSystem}, false, false},
                    EntryCase{"plain folder", {"d", kDirectory}, true, true},
                    EntryCase{"folder with archive bit", {"d", kDirectory | kArchive}, true, false},
                    EntryCase{"read-only folder", {"d", kDirectory | kReadOnly}, true, false},
                    EntryCase{"hidden folder", {".d", kDirectory | kHidden}, false, false},
                    EntryCase{"mount point", {"d", kDirectory | kReparsePoint}, true, false},
                    EntryCase{"link", {"l", kReparsePoint}, true, false}),
    [](const testing::TestParamInfo<EntryCase>& info) {
      return "Case" + std::to_string(info.index);
    });

class DeleteFilesTest : public testing::Test {
 protected:
  std::string Root() const { return folder.Path().string() + "/"; }
  bool Exists(const std::string& relative) const {
    return fs::exists(fs::symlink_status(folder / relative));
  }

  TempFolder folder;
  RecordingFileSystem files{NativeFileSystem()};
};

TEST_F(DeleteFilesTest, ExampleTreeIsEmptiedAndTheRootKept) {
  folder.Write("a.txt", "a");
  folder.Write("b.txt", "b");
  folder.Write("S/c.txt", "c");

  DeleteFiles(Root(), "*.txt", false, files);

  EXPECT_TRUE(fs::is_directory(folder.Path()));
  EXPECT_TRUE(fs::is_empty(folder.Path()));
  const std::string root = fs::canonical(folder.Path()).string() + "/";
  const auto position = [&](const std::string& path) {
    return std::ranges::find(files.examined, root + path) - files.examined.begin();
  };
  EXPECT_EQ(files.examined.size(), 4u);
  EXPECT_LT(position("S/c.txt"), position("S")) << "a folder comes after what it holds";
}

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

  for (const std::string& path : kept) {
    EXPECT_TRUE(Exists(path)) << path << " should stay";
  }
  for (const std::string& path : gone) {
    EXPECT_FALSE(Exists(path)) << path << " should be gone";
  }
}

TEST_F(DeleteFilesTest, EmptyFoldersGoWhateverTheMaskButTheRootStays) {
  fs::create_directories(folder / "a/b/c");
  fs::create_directories(folder / "d");

  DeleteFiles(Root(), "matches-nothing", false, files);

  EXPECT_TRUE(fs::is_directory(folder.Path()));
  EXPECT_TRUE(fs::is_empty(folder.Path()));
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
  files.beforeFindEntry = [&](const std::string&) {
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

TEST_F(DeleteFilesTest, WipeFlagDecidesWhetherFilesAreOverwritten) {
  for (const bool wipe : {false, true}) {
    folder.Write("one.tmp", "secret");
    folder.Write("two/two.tmp", "secret");
    RecordingFileSystem recorder{NativeFileSystem()};

    DeleteFiles(Root(), "*.tmp", wipe, recorder);

    EXPECT_TRUE(fs::is_empty(folder.Path())) << "wipe " << wipe;
    EXPECT_EQ(recorder.PassData().empty(), !wipe) << "wipe " << wipe;
  }
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

// Any use of the file system fails the test: a refused folder must not be touched at all.
class UntouchableFileSystem : public FileSystem {
 public:
  bool CanOpenExclusively(const std::string&) override { return Touched(false); }
  std::unique_ptr<OpenFile> OpenForWriting(const std::string&, WriteMode) override {
    Touched(false);
    return nullptr;
  }
  uint32_t SectorSize(const std::string&) override { return Touched(0u); }
  std::optional<FolderEntry> FindEntry(const std::string&) override {
    return Touched(std::optional<FolderEntry>());
  }
  bool SetAttributes(const std::string&, uint32_t) override { return Touched(false); }
  std::optional<uint64_t> FileLength(const std::string&) override {
    return Touched(std::optional<uint64_t>());
  }
  size_t ReadStart(const std::string&, std::span<std::byte>) override { return Touched(0u); }
  std::vector<FolderEntry> ListFolder(const std::string&) override {
    return Touched(std::vector<FolderEntry>());
  }
  bool DeleteFile(const std::string&) override { return Touched(false); }
  bool RemoveFolder(const std::string&) override { return Touched(false); }

 private:
  template <typename T>
  T Touched(T result) {
    ADD_FAILURE() << "the file system was used";
    return result;
  }
};

TEST(DeleteFilesRefusalTest, RefusesRelativeRootAndHomeFolders) {
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
  };
  UntouchableFileSystem files;
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
