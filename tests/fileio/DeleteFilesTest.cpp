#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "DeletionFixture.h"
#include "HeldByAnotherProcess.h"
#include "PreviewCheck.h"
#include "RecordingFileSystem.h"
#include "RecordingSink.h"
#include "TempFolder.h"
#include "fileio/DeleteFiles.h"
#include "fileio/FolderWalk.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using namespace FileAttribute;
using namespace std::string_literals;
using test::NamesIn;
using test::ReadFile;
using test::RecordingFileSystem;
using test::TempFolder;

// A tree the test writes down: each folder's entries in the order the file system would
// give them, what a probe answers for a file (by path; exclusive when not named), and what
// a walk visits, as folder path and entry name.
struct ScriptedTree {
  std::map<std::string, std::vector<FolderEntry>> folders;
  std::vector<std::string> visited;
  std::map<std::string, FileAccess> access = {};
};

// A folder of a scripted tree; only listing, entering subfolders, looking up an entry and
// probing a file do anything.
class ScriptedFolder : public Folder {
 public:
  ScriptedFolder(ScriptedTree& tree, std::string path) : tree_(tree), path_(std::move(path)) {}

  const std::string& Path() const override { return path_; }
  std::vector<FolderEntry> List() override { return tree_.folders[path_]; }
  std::unique_ptr<Folder> OpenSubfolder(const std::string& name) override {
    const std::string inner = path_ + name + "/";
    return tree_.folders.contains(inner) ? std::make_unique<ScriptedFolder>(tree_, inner) : nullptr;
  }
  std::optional<FolderEntry> FindEntry(const std::string& name) override {
    for (const FolderEntry& entry : tree_.folders[path_]) {
      if (entry.name == name) {
        return entry;
      }
    }
    return std::nullopt;
  }
  FileProbe Probe(const std::string& name) override {
    const auto found = tree_.access.find(path_ + name);
    return {found == tree_.access.end() ? FileAccess::kExclusive : found->second};
  }
  std::unique_ptr<OpenFile> OpenForWriting(const std::string&, WriteMode) override {
    return nullptr;
  }
  uint32_t SectorSize() override { return 0; }
  bool SetAttributes(const std::string&, uint32_t) override { return true; }
  std::optional<uint64_t> FileLength(const std::string&) override { return std::nullopt; }
  size_t ReadStart(const std::string&, std::span<std::byte>) override { return 0; }
  bool DeleteFile(const std::string&) override { return false; }
  bool RemoveFolder(const std::string&) override { return false; }

 private:
  ScriptedTree& tree_;
  std::string path_;
};

// The documented example first: each folder's entries are visited after everything beneath
// them, in reverse listing order, the last-listed subfolder's first. Only plain folders are
// entered: a mount point, a link and a read-only folder are visited without their content,
// and hidden or system entries not at all. A folder that cannot be opened keeps its content.
TEST(WalkDeepestFirstTest, VisitsDeepestFirstAndEntersOnlyPlainFolders) {
  const struct {
    std::string name;
    std::map<std::string, std::vector<FolderEntry>> folders;
    std::vector<std::string> visited;
  } cases[] = {
      {"example",
       {{"R/", {{"a.txt", kNormal}, {"b.txt", kNormal}, {"S", kDirectory}}},
        {"R/S/", {{"c.txt", kNormal}}}},
       {"R/S/c.txt", "R/S", "R/b.txt", "R/a.txt"}},
      {"two subfolders",
       {{"R/", {{"S1", kDirectory}, {"a", kNormal}, {"S2", kDirectory}}},
        {"R/S1/", {{"x", kNormal}, {"T", kDirectory}}},
        {"R/S1/T/", {{"t", kNormal}}},
        {"R/S2/", {{"y", kNormal}}}},
       {"R/S2/y", "R/S1/T/t", "R/S1/T", "R/S1/x", "R/S2", "R/a", "R/S1"}},
      {"not entered",
       {{"R/",
         {{"m", kDirectory | kReparsePoint},
          {"l", kReparsePoint},
          {"ro", kDirectory | kReadOnly},
          {".h", kDirectory | kHidden},
          {"sys", kSystem},
          {"shut", kDirectory}}},
        {"R/m/", {{"in-mount", kNormal}}},
        {"R/ro/", {{"in-read-only", kNormal}}},
        {"R/.h/", {{"in-hidden", kNormal}}}},
       {"R/shut", "R/ro", "R/l", "R/m"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedTree tree{c.folders, {}};
    ScriptedFolder root(tree, "R/");
    WalkDeepestFirst(root, [&](Folder& folder, const FolderEntry& entry) {
      tree.visited.push_back(folder.Path() + entry.name);
      return true;
    });
    EXPECT_EQ(tree.visited, c.visited);
  }
}

class DeleteFilesTest : public test::DeletionFixture {
 protected:
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

  DeleteFiles(Root(), "*.tmp", true, sink, false, files);

  EXPECT_TRUE(fs::is_directory(folder.Path()));
  for (const std::string& path : kept) {
    EXPECT_TRUE(Exists(path)) << path << " should stay";
  }
  for (const std::string& path : gone) {
    EXPECT_FALSE(Exists(path)) << path << " should be gone";
  }
  EXPECT_EQ(ReadFile(outsideFile), "keep");
  EXPECT_EQ(ReadFile(outside / "inner/deep.tmp"), "keep too");
  // Only what matches is reported; hidden entries, the pipe and what the read-only folder
  // holds are not traces that were asked for.
  const std::map<std::string, std::string> reported = {
      {"y.tmp", "removed"},
      {"sub/deep.tmp", "removed"},
      {"onlytmp/w.tmp", "removed"},
      {"linked-file.tmp", LeftReason::kLink},
      {"dangling.tmp", LeftReason::kLink},
  };
  EXPECT_EQ(Reported(), reported);
}

TEST_F(DeleteFilesTest, FilesAndFoldersVanishingDuringTheWalkArePassedOver) {
  for (const char* file : {"a.tmp", "b.tmp", "c.tmp", "gone/x.tmp", "gone/y.tmp"}) {
    folder.Write(file, "data");
  }
  const fs::path vanishing = folder / "b.tmp";
  bool removed = false;
  files.afterListing = [&](const std::string&) {
    if (!removed) {
      removed = true;
      fs::remove(vanishing);
      fs::remove_all(folder / "gone");
    }
  };

  EXPECT_NO_THROW(DeleteFiles(Root(), "*.tmp", false, sink, false, files));

  EXPECT_TRUE(removed);
  EXPECT_TRUE(fs::is_empty(folder.Path()));
  const std::map<std::string, std::string> reported = {
      {"a.tmp", "removed"},
      {"b.tmp", LeftReason::kVanished},
      {"c.tmp", "removed"},
      {"gone", LeftReason::kVanished},
  };
  EXPECT_EQ(Reported(), reported);
}

// A subfolder swapped for a link to another folder while the walk runs (once the folder
// above it is listed, or once the walk is inside it): what the walk does afterwards stays
// inside what it listed, and the link's target is untouched, wipe or not.
TEST_F(DeleteFilesTest, ASubfolderSwappedForALinkMidWalkLeadsNowhereOutside) {
  const std::vector<std::string> kFiles = {"sub/x.tmp", "sub/deeper/y.tmp", "a.tmp"};
  for (const bool atFirstFile : {false, true}) {
    for (const bool wipe : {false, true}) {
      SCOPED_TRACE(testing::Message() << "at first file " << atFirstFile << ", wipe " << wipe);
      const TempFolder outside;
      const TempFolder movedTo;
      for (const std::string& file : kFiles) {
        folder.Write(file, "inside");
        outside.Write(file, "outside");
      }
      bool swapped = false;
      const auto swap = [&] {
        if (!swapped) {
          swapped = true;
          fs::rename(folder / "sub", movedTo / "sub");
          fs::create_directory_symlink(outside / "sub", folder / "sub");
        }
      };
      files.afterListing = [&](const std::string&) {
        if (!atFirstFile) {
          swap();
        }
      };
      files.beforeProbe = [&] {
        if (atFirstFile) {
          swap();
        }
      };

      DeleteFiles(Root(), "*.tmp", wipe, sink, false, files);

      EXPECT_TRUE(swapped);
      EXPECT_TRUE(fs::is_symlink(folder / "sub"));
      EXPECT_FALSE(Exists("a.tmp"));
      for (const std::string& file : kFiles) {
        EXPECT_EQ(ReadFile(outside / file), "outside") << file;
      }
      fs::remove(folder / "sub");
    }
  }
}

// A folder named without its closing separator is cleaned; a missing folder, or a file
// named as one, deletes nothing and raises nothing.
TEST_F(DeleteFilesTest, AFolderWithoutSeparatorIsCleanedAndAMissingOneIsPassedOver) {
  folder.Write("a.tmp", "data");
  DeleteFiles(folder.Path().string(), "*.tmp", false, sink, false, files);
  EXPECT_TRUE(fs::is_empty(folder.Path()));
  EXPECT_NO_THROW(DeleteFiles(Root() + "missing/", "*", true, sink, false, files));
  EXPECT_NO_THROW(
      DeleteFiles(folder.Write("file", "x").string() + "/", "*", true, sink, false, files));
  EXPECT_TRUE(Exists("file"));
}

// A file system whose folders are those of a scripted tree.
struct ScriptedFileSystem : FileSystem {
  explicit ScriptedFileSystem(ScriptedTree& tree) : tree(tree) {}
  std::unique_ptr<Folder> OpenFolder(const std::string& path) override {
    return std::make_unique<ScriptedFolder>(tree, path);
  }
  ScriptedTree& tree;
};

// Each answer the file system gives becomes the reason shown beside what stays, and a free
// file that still would not go says so; a folder that cannot be opened is named once.
// Scripted, so that it holds for any user, root included.
TEST_F(DeleteFilesTest, EveryFileLeftIsReportedWithItsReason) {
  const std::string r = Root();
  ScriptedTree tree{{{r,
                      {{"free.tmp", kNormal, 8192},
                       {"busy.tmp", kNormal, 4096},
                       {"theirs.tmp", kReadOnly, 4096},
                       {"vanished.tmp", kNormal, 4096},
                       {"swapped.tmp", kNormal, 4096},
                       {"link.tmp", kReparsePoint},
                       {"link.dat", kReparsePoint},
                       {"keep.dat", kNormal, 4096},
                       {".hidden.tmp", kHidden, 4096},
                       {"mount", kDirectory | kReparsePoint},
                       {"shut", kDirectory}}}},
                    {},
                    {{r + "busy.tmp", FileAccess::kInUse},
                     {r + "theirs.tmp", FileAccess::kDenied},
                     {r + "vanished.tmp", FileAccess::kMissing},
                     {r + "swapped.tmp", FileAccess::kNotAFile}}};
  ScriptedFileSystem scripted(tree);

  DeleteFiles(r, "*.tmp", false, sink, false, scripted);

  const auto left = [&](const std::string& name, const char* reason) {
    return ReportEntry{.type = EntryType::kFile,
                       .what = r + name,
                       .bytes = {},
                       .outcome = EntryOutcome::kLeft,
                       .reason = reason};
  };
  const std::vector<ReportEntry> expected = {
      left("shut", LeftReason::kPermissionDenied),
      left("mount", LeftReason::kOtherFileSystem),
      left("link.tmp", LeftReason::kLink),
      left("swapped.tmp", LeftReason::kVanished),
      left("vanished.tmp", LeftReason::kVanished),
      left("theirs.tmp", LeftReason::kPermissionDenied),
      left("busy.tmp", LeftReason::kInUse),
      left("free.tmp", "could not be removed"),
  };
  EXPECT_EQ(sink.entries, expected);
}

// The preview walks the same tree and changes nothing in it, not even a mode; what it
// lists is, entry for entry, what the run then removes and leaves, plainly or wiping.
TEST_F(DeleteFilesTest, APreviewChangesNothingAndListsWhatTheRunThenRemoves) {
  const TempFolder outside;
  for (const bool wipe : {false, true}) {
    SCOPED_TRACE(testing::Message() << "wipe " << wipe);
    for (const char* file : {"a.tmp", "sub/b.tmp", "sub/deeper/c.tmp", "sub/keep.dat", "d.tmp"}) {
      folder.Write(file, std::string(5000, 'x'));
    }
    folder.Write("big.tmp", std::string(100000, 'y'));
    chmod((folder / "d.tmp").c_str(), 0444);
    fs::create_directories(folder / "empty/inner");
    fs::create_symlink(outside.Write("target.tmp", "outside"), folder / "link.tmp");
    const auto before = test::SnapshotTree(folder.Path());
    files.openings.clear();

    DeleteFiles(Root(), "*.tmp", wipe, sink, true, files);

    EXPECT_EQ(test::SnapshotTree(folder.Path()), before);
    EXPECT_TRUE(files.openings.empty());
    const std::vector<ReportEntry> previewed = sink.entries;
    ASSERT_EQ(previewed.size(), 6u);
    sink.entries.clear();
    DeleteFiles(Root(), "*.tmp", wipe, sink, false, files);
    EXPECT_EQ(sink.entries, test::AsCleaned(previewed));
    EXPECT_EQ(NamesIn(folder.Path()), (std::set<std::string>{"link.tmp", "sub"}));
    EXPECT_EQ(ReadFile(outside / "target.tmp"), "outside");
    for (const ReportEntry& entry : sink.entries) {
      if (entry.outcome == EntryOutcome::kRemoved) {
        EXPECT_GE(*entry.bytes, fs::path(entry.what).filename() == "big.tmp" ? 100000u : 4096u)
            << entry.what;
      }
    }
    fs::remove_all(folder / "sub");
    fs::remove(folder / "link.tmp");
    sink.entries.clear();
  }
}

// Each file is reported with the blocks it held on the disk, not its length: an empty
// file frees nothing, a sparse one far less than it seems, whether previewed, deleted
// or wiped.
TEST_F(DeleteFilesTest, EachFileIsReportedWithTheBlocksItHeld) {
  struct Case {
    const char* name;
    off_t length;
    bool sparse;  // only its last byte written
  };
  const Case cases[] = {{"empty.tmp", 0, false},
                        {"one.tmp", 1, false},
                        {"blocks.tmp", 70000, false},
                        {"sparse.tmp", 8 << 20, true}};
  for (const int mode : {0, 1, 2}) {  // preview, delete, wipe
    SCOPED_TRACE(testing::Message() << "mode " << mode);
    std::map<std::string, std::optional<uint64_t>> held;
    for (const Case& c : cases) {
      const fs::path file = folder.Write(c.name, c.sparse ? "" : std::string(c.length, 'x'));
      if (c.sparse) {
        fs::resize_file(file, c.length - 1);
        std::ofstream(file, std::ios::app) << 'x';
      }
      struct stat info {};
      ASSERT_EQ(stat(file.c_str(), &info), 0);
      held[Root() + c.name] = static_cast<uint64_t>(info.st_blocks) * 512;
    }
    ASSERT_LT(*held[Root() + "sparse.tmp"], 8u << 20);
    sink.entries.clear();

    DeleteFiles(Root(), "*.tmp", mode == 2, sink, mode == 0, files);

    std::map<std::string, std::optional<uint64_t>> reported;
    for (const ReportEntry& entry : sink.entries) {
      reported[entry.what] = entry.bytes;
    }
    EXPECT_EQ(reported, held);
  }
}

// A file another program holds open stays, and the run says why.
TEST_F(DeleteFilesTest, AFileHeldOpenByAnotherProgramIsReportedInUse) {
  const fs::path busy = folder.Write("busy.tmp", "in use");
  folder.Write("free.tmp", "free");
  const test::HeldByAnotherProcess holder(busy.string());

  DeleteFiles(Root(), "*.tmp", false, sink, false, files);
  EXPECT_EQ(Reported()["busy.tmp"], LeftReason::kInUse);
  EXPECT_EQ(ReadFile(busy), "in use");
  EXPECT_FALSE(Exists("free.tmp"));
}

// A folder this user may not open keeps what it holds; the report names it.
TEST_F(DeleteFilesTest, AFolderThatCannotBeOpenedIsReportedAsDenied) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root opens every folder; the scripted case covers the reason";
  }
  folder.Write("shut/inside.tmp", "stays");
  chmod((folder / "shut").c_str(), 0);
  DeleteFiles(Root(), "*.tmp", false, sink, false, files);
  chmod((folder / "shut").c_str(), 0755);
  EXPECT_EQ(Reported(),
            (std::map<std::string, std::string>{{"shut", LeftReason::kPermissionDenied}}));
  EXPECT_EQ(ReadFile(folder / "shut/inside.tmp"), "stays");
}

// Asked to stop, the walk ends between two files: what it reported is what it removed,
// the rest is whole.
TEST_F(DeleteFilesTest, AStopRequestEndsTheWalkBetweenTwoFiles) {
  for (int i = 0; i < 10; ++i) {
    folder.Write("f" + std::to_string(i) + ".tmp", "data");
  }
  sink.stopAfter = 3;
  DeleteFiles(Root(), "*.tmp", false, sink, false, files);
  ASSERT_EQ(sink.entries.size(), 3u);
  for (const ReportEntry& entry : sink.entries) {
    EXPECT_EQ(entry.outcome, EntryOutcome::kRemoved);
    EXPECT_FALSE(fs::exists(entry.what));
  }
  EXPECT_EQ(NamesIn(folder.Path()).size(), 7u);
}

TEST(DeleteFilesRefusalTest, RefusesRelativeRootHomeAndAboveHomeFolders) {
  const fs::path home = std::getenv("HOME");
  const TempFolder links;
  fs::create_directory_symlink(home, links / "home-link");
  // Opens nothing: should a refusal fail, the walk still finds nothing to delete.
  struct NoFolders : FileSystem {
    std::unique_ptr<Folder> OpenFolder(const std::string&) override { return nullptr; }
  } files;
  test::RecordingSink sink;
  const std::string homeAgain = home.string() + "/../" + home.filename().string() + "/";
  for (const std::string& path :
       {""s, "relative/"s, "/"s, "/../"s, home.string(), homeAgain,
        (links / "home-link").string() + "/", home.parent_path().string() + "/"}) {
    try {
      DeleteFiles(path, "*", true, sink, false, files);
      ADD_FAILURE() << "'" << path << "' was not refused";
    } catch (const NumberedError& error) {
      EXPECT_EQ(error.Number(), 5) << path;
      EXPECT_NE(error.Description().find(path), std::string::npos) << error.Description();
    }
  }
}

}  // namespace
}  // namespace hv
