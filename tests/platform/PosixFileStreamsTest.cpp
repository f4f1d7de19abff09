#include "platform/posix/PosixFileStreams.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>

#include "TempFolder.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using Names = std::set<std::string>;

constexpr const char* kStagedPrefix = "~hushvault-staged-";

// A file system that cannot make a file without a name, as some cannot.
struct WithoutNamelessFiles : PosixFileStreams {
  int OpenNameless(int, mode_t) override {
    errno = EOPNOTSUPP;
    return -1;
  }
};

bool Write(StagedFile& staged, const std::string& bytes) {
  return staged.Write(std::as_bytes(std::span(bytes)));
}

// The id of a process that has ended.
pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) {
    _exit(0);
  }
  waitpid(child, nullptr, 0);
  return child;
}

std::string StagedName(pid_t owner, const std::string& rest) {
  return kStagedPrefix + std::to_string(owner) + "-" + rest;
}

// Either way the new file is seen only whole under its final name, a file already there is
// replaced, and a file dropped before its commit leaves nothing. Without nameless files the
// one name seen meanwhile is a staged one, never hidden.
TEST(PosixFileStreamsTest, NewFileAppearsOnlyWholeUnderItsName) {
  PosixFileStreams nameless;
  WithoutNamelessFiles named;
  for (const bool canBeNameless : {true, false}) {
    FileStreams& streams = canBeNameless ? static_cast<FileStreams&>(nameless) : named;
    for (const bool replaces : {false, true}) {
      for (const bool commit : {false, true}) {
        SCOPED_TRACE(testing::Message() << "nameless " << canBeNameless << ", replaces " << replaces
                                        << ", commit " << commit);
        const test::TempFolder folder;
        const fs::path target = folder / "target";
        if (replaces) {
          folder.Write("target", "old content");
        }
        const Names before = test::NamesIn(folder.Path());
        auto staged = streams.Stage(target.string(), target.string());
        ASSERT_NE(staged, nullptr);
        ASSERT_TRUE(Write(*staged, "new content"));
        Names added;
        for (const std::string& name : test::NamesIn(folder.Path())) {
          if (!before.contains(name)) {
            added.insert(name);
          }
        }
        if (canBeNameless) {
          EXPECT_TRUE(added.empty());
        } else {
          ASSERT_EQ(added.size(), 1u);
          EXPECT_TRUE(added.begin()->starts_with(kStagedPrefix)) << *added.begin();
          // A dot-name would hide a leftover from the user and from every cleaning item.
          EXPECT_NE(added.begin()->front(), '.') << *added.begin();
        }
        if (commit) {
          ASSERT_TRUE(staged->Commit());
        }
        staged.reset();
        EXPECT_EQ(test::NamesIn(folder.Path()), commit ? Names{"target"} : before);
        if (commit || replaces) {
          EXPECT_EQ(test::ReadFile(target), commit ? "new content" : "old content");
        }
      }
    }
  }
}

// A staged file that outlived its process is removed at the next staging in its folder;
// one that a running staging owns, or that is not this program's, stays.
TEST(PosixFileStreamsTest, AbandonedStagedFilesAreSweptAtTheNextStaging) {
  WithoutNamelessFiles streams;
  const test::TempFolder folder;
  const test::TempFolder elsewhere;
  const pid_t ended = EndedProcess();
  const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);

  // A staging killed in the middle of its writes.
  const pid_t killed = fork();
  if (killed == 0) {
    auto staged = streams.Stage((folder / "killed").string(), "");
    Write(*staged, "plain text");
    raise(SIGKILL);
    _exit(1);
  }
  waitpid(killed, nullptr, 0);
  const Names leftBehind = test::NamesIn(folder.Path());
  ASSERT_EQ(leftBehind.size(), 1u);

  const auto running = streams.Stage((folder / "running").string(), "");
  ASSERT_NE(running, nullptr);
  const Names runningNames = test::NamesIn(folder.Path());
  // Its owner holds it, however long it has been at work.
  for (const std::string& name : runningNames) {
    if (!leftBehind.contains(name)) {
      fs::last_write_time(folder / name, longAgo);
    }
  }

  folder.Write(StagedName(ended, "1"), "left by an ended process");
  folder.Write(StagedName(getpid(), "2"), "just made by a running process");
  folder.Write(StagedName(getpid(), "3"), "made before a restart by a reused id");
  fs::last_write_time(folder / StagedName(getpid(), "3"), longAgo);
  folder.Write(".hushvault-staged-notes.txt", "the user's own");
  folder.Write("hushvault-staged-1-1", "the user's own");
  fs::create_directory(folder / StagedName(ended, "4"));
  const fs::path outside = elsewhere.Write("document", "outside");
  fs::create_symlink(outside, folder / StagedName(ended, "5"));

  auto next = streams.Stage((folder / "next").string(), "");
  ASSERT_NE(next, nullptr);
  Names expected = runningNames;
  for (const std::string& name : leftBehind) {
    expected.erase(name);
  }
  expected.insert({StagedName(getpid(), "2"), ".hushvault-staged-notes.txt", "hushvault-staged-1-1",
                   StagedName(ended, "4"), StagedName(ended, "5")});
  Names now = test::NamesIn(folder.Path());
  EXPECT_EQ(now.size(), expected.size() + 1);  // next's own staged name
  for (const std::string& name : expected) {
    EXPECT_TRUE(now.contains(name)) << name;
  }
  EXPECT_EQ(test::ReadFile(outside), "outside");
  ASSERT_TRUE(Write(*running, "still mine"));
  ASSERT_TRUE(running->Commit());
  EXPECT_EQ(test::ReadFile(folder / "running"), "still mine");
}

}  // namespace
}  // namespace hv
