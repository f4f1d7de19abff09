#include "fileio/DeleteNamedFiles.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "DeletionFixture.h"
#include "PreviewCheck.h"
#include "RecordingSink.h"
#include "ScopedEnvironment.h"
#include "TempFolder.h"
#include "util/NumberedError.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::ReadFile;
using test::TempFolder;

using DeleteNamedFilesTest = test::DeletionFixture;

// Histories are dot-names directly in the folder; anything below it, a folder or pipe with
// a matching name, and a history linked elsewhere (to /dev/null or to a file outside) stay.
TEST_F(DeleteNamedFilesTest, RemovesOnlyMatchingRegularFilesDirectlyInTheFolder) {
  for (const char* file : {".bash_history", ".lesshst", "Xorg.0.log", "Xorg.0.log.old", "notes.txt",
                           "XORG.LOG", "sub/.bash_history", ".lesshst-dir/inner"}) {
    folder.Write(file, "data");
  }
  fs::rename(folder / ".lesshst-dir", folder / ".zsh_history");
  fs::create_directories(folder / "empty.log");
  fs::create_symlink("/dev/null", folder / ".python_history");
  const TempFolder outside;
  const fs::path outsideFile = outside.Write("history", "keep");
  fs::create_symlink(outsideFile, folder / ".node_repl_history");
  ASSERT_EQ(mkfifo((folder / "pipe.log").c_str(), 0644), 0);
  chmod((folder / ".lesshst").c_str(), 0400);

  DeleteNamedFiles(Root(),
                   ".bash_history;;.lesshst;.zsh_history;.python_history;"
                   ".node_repl_history;*.log*",
                   false, sink);

  for (const char* gone : {".bash_history", ".lesshst", "Xorg.0.log", "Xorg.0.log.old"}) {
    EXPECT_FALSE(Exists(gone)) << gone;
  }
  for (const char* kept : {"notes.txt", "XORG.LOG", "sub/.bash_history", ".zsh_history/inner",
                           "empty.log", ".python_history", ".node_repl_history", "pipe.log"}) {
    EXPECT_TRUE(Exists(kept)) << kept;
  }
  EXPECT_EQ(fs::read_symlink(folder / ".python_history"), "/dev/null");
  EXPECT_EQ(ReadFile(outsideFile), "keep");
  const std::map<std::string, std::string> reported = {
      {".bash_history", "removed"},
      {".lesshst", "removed"},
      {"Xorg.0.log", "removed"},
      {"Xorg.0.log.old", "removed"},
      {".python_history", LeftReason::kLink},
      {".node_repl_history", LeftReason::kLink},
  };
  EXPECT_EQ(Reported(), reported);
}

TEST_F(DeleteNamedFilesTest, APreviewChangesNothingAndListsWhatTheRunThenRemoves) {
  for (const bool wipe : {false, true}) {
    SCOPED_TRACE(testing::Message() << "wipe " << wipe);
    folder.Write(".sqlite_history", std::string(5000, 'x'));
    folder.Write(".wget-hsts", "hsts");
    folder.Write("keep", "keep");
    const auto before = test::SnapshotTree(folder.Path());

    DeleteNamedFiles(Root(), ".sqlite_history;.wget-hsts", wipe, sink, true);

    EXPECT_EQ(test::SnapshotTree(folder.Path()), before);
    const std::vector<ReportEntry> previewed = sink.entries;
    ASSERT_EQ(previewed.size(), 2u);
    sink.entries.clear();
    DeleteNamedFiles(Root(), ".sqlite_history;.wget-hsts", wipe, sink);
    EXPECT_EQ(sink.entries, test::AsCleaned(previewed));
    EXPECT_EQ(test::NamesIn(folder.Path()), (std::set<std::string>{"keep"}));
    sink.entries.clear();
  }
}

TEST_F(DeleteNamedFilesTest, AStopRequestEndsBetweenTwoFiles) {
  for (int i = 0; i < 6; ++i) {
    folder.Write(".history" + std::to_string(i), "data");
  }
  sink.stopAfter = 2;
  DeleteNamedFiles(Root(), ".history*", false, sink);
  EXPECT_EQ(sink.entries.size(), 2u);
  EXPECT_EQ(test::NamesIn(folder.Path()).size(), 4u);
}

// The home folder itself is this kind's usual folder; only the file-system root, and what
// is not a full path, are refused. A missing folder removes nothing.
TEST_F(DeleteNamedFilesTest, AllowsTheHomeFolderAndRefusesTheRoot) {
  test::ScopedEnvironment env;
  env.Set("HOME", folder.Path().string());
  folder.Write(".bash_history", "ls");
  folder.Write(".cache/.bash_history", "below");

  DeleteNamedFiles(folder.Path().string(), ".bash_history", false, sink);
  EXPECT_FALSE(Exists(".bash_history"));
  EXPECT_TRUE(Exists(".cache/.bash_history"));
  EXPECT_NO_THROW(DeleteNamedFiles(Root() + "missing/", "*", false, sink));

  // Opens nothing: should a refusal fail, the root's files are still not reached.
  struct NoFolders : FileSystem {
    std::unique_ptr<Folder> OpenFolder(const std::string&) override { return nullptr; }
  } none;
  for (const std::string& path : {""s, "relative/"s, "/"s, "/../"s, "//"s}) {
    try {
      DeleteNamedFiles(path, "*", false, sink, false, none);
      ADD_FAILURE() << "'" << path << "' was not refused";
    } catch (const NumberedError& error) {
      EXPECT_EQ(error.Number(), 5) << path;
    }
  }
  EXPECT_EQ(sink.entries.size(), 1u);
}

}  // namespace
}  // namespace hv
