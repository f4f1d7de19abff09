#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "RecordingFileSystem.h"
#include "TempFolder.h"
#include "fileio/EraseFile.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RecordingFileSystem;
using test::TempFolder;

constexpr size_t kBlock = 65536;

bool AllWithinRange(const std::string& data) {
  return std::ranges::all_of(data, [](char c) { return static_cast<unsigned char>(c) <= 200; });
}

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  lstat(path.c_str(), &info);
  return info.st_mode & 07777;
}

class EraseFileTest : public testing::Test {
 protected:
  TempFolder folder;
  RecordingFileSystem files{NativeFileSystem()};
};

// One test block, then whole blocks covering the length and one block beyond it, each of
// fresh bytes from 0 to 200.
TEST_F(EraseFileTest, WritesTestBlockThenFreshBlocksPastTheEnd) {
  const struct {
    std::string name;
    size_t length;
    size_t passBlocks;
    mode_t mode;
  } cases[] = {
      {"empty", 0, 1, 0644},
      {"one-block", kBlock, 2, 0644},
      {"forty-blocks", 40 * kBlock, 41, 0644},  // more than one write buffer
      {"readonly.txt", 19, 1, 0444},
      {"odd\x01\xff name\t.txt", 19, 1, 0644},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path file = folder.Write(c.name, std::string(c.length, 'S'));
    chmod(file.c_str(), c.mode);
    RecordingFileSystem recorded{NativeFileSystem()};

    EXPECT_TRUE(EraseFile(file.string(), true, recorded));

    EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
    ASSERT_EQ(recorded.openings.size(), 2u);
    const auto& test = recorded.openings[0];
    EXPECT_EQ(test.mode, (WriteMode{.noBuffering = true}));
    ASSERT_EQ(test.writes.size(), 1u);
    EXPECT_EQ(test.writes[0].size(), kBlock);
    EXPECT_TRUE(AllWithinRange(test.writes[0]));
    const auto& passes = recorded.openings[1];
    EXPECT_TRUE(passes.mode.deleteOnClose);
    EXPECT_TRUE(passes.mode.noBuffering || passes.mode.writeThrough);
    EXPECT_TRUE(std::ranges::all_of(passes.writes, [](const std::string& written) {
      return !written.empty() && written.size() % kBlock == 0;
    }));
    EXPECT_GE(passes.flushes, 1);
    EXPECT_EQ(passes.truncations, 1);
    const std::string data = recorded.PassData();
    ASSERT_EQ(data.size(), c.passBlocks * kBlock);
    EXPECT_TRUE(AllWithinRange(data));
    for (size_t i = 1; i < c.passBlocks; ++i) {
      EXPECT_NE(data.substr(i * kBlock, kBlock), data.substr((i - 1) * kBlock, kBlock)) << i;
    }
  }
}

// Reporting a wipe that stopped half-way as done would leave data the user believes gone.
TEST_F(EraseFileTest, FailedWriteIsNotReportedAsAWipeButTheFileStillGoes) {
  const fs::path file = folder.Write("big.dat", std::string(40 * kBlock, 'x'));
  files.failingWrite = 2;  // the second write of the passes, after the test block

  EXPECT_FALSE(EraseFile(file.string(), true, files));

  EXPECT_FALSE(fs::exists(file));
  EXPECT_LT(files.PassData().size(), 41 * kBlock);
}

// A second name of the same file shows what landed in the file itself: the random data,
// written from the start, over its own blocks.
TEST_F(EraseFileTest, OverwritesTheFilesOwnBlocksFromTheStart) {
  const fs::path file = folder.Write("secret.txt", std::string(100000, 'P'));
  const fs::path twin = folder / "twin.txt";
  fs::create_hard_link(file, twin);
  std::string seenBeforeCut;
  files.beforeTruncation = [&] { seenBeforeCut = ReadFile(twin); };

  ASSERT_TRUE(EraseFile(file.string(), true, files));

  EXPECT_EQ(seenBeforeCut, files.PassData());
  EXPECT_EQ(seenBeforeCut.size(), 2 * kBlock);
  EXPECT_EQ(fs::file_size(twin), 0u);
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(EraseFileTest, PlainDeleteRemovesTheFileWithoutWritingAndReturnsFalse) {
  const fs::path file = folder.Write("plain.txt", "to be deleted");
  chmod(file.c_str(), 0444);

  EXPECT_FALSE(EraseFile(file.string(), false, files));

  EXPECT_FALSE(fs::exists(file));
  ASSERT_EQ(files.openings.size(), 1u);
  EXPECT_TRUE(files.openings[0].mode.deleteOnClose);
  EXPECT_TRUE(files.openings[0].writes.empty());
  EXPECT_EQ(files.openings[0].truncations, 1);
}

// What must be refused without a change: nothing to erase, a file in use elsewhere, or
// nothing that is ours to write into or remove.
TEST_F(EraseFileTest, RefusesWhatIsNotAFreeOrdinaryFileAndChangesNothing) {
  const fs::path outside = folder.Write("outside/target.txt", "keep me");
  const fs::path link = folder / "link.txt";
  fs::create_symlink(outside, link);
  const fs::path pipe = folder / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  const fs::path busy = folder.Write("busy.txt", "in use");
  chmod(busy.c_str(), 0444);
  const int holder = open(busy.c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  std::vector<fs::path> refused = {folder / "missing.txt", link, pipe, folder / "outside", busy};
  const fs::path shut = folder.Write("shut/inside.txt", "stays");
  if (geteuid() != 0) {  // root may remove names in any folder
    chmod((folder / "shut").c_str(), 0555);
    refused.push_back(shut);
  }

  for (const fs::path& path : refused) {
    for (const bool wipe : {true, false}) {
      EXPECT_FALSE(EraseFile(path.string(), wipe, files)) << path << " wipe " << wipe;
    }
  }

  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(outside), "keep me");
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ(ReadFile(busy), "in use");
  EXPECT_EQ(ModeOf(busy), 0444u);
  EXPECT_EQ(ReadFile(shut), "stays");
  EXPECT_TRUE(files.openings.empty());
  // Once let go, the file is free again: the probes held nothing of their own.
  close(holder);
  EXPECT_TRUE(EraseFile(busy.string(), true, files));
}

// A file open anywhere else, for reading, writing or both, is in use whatever its mode: the
// erasure leaves its content and its mode as they were, and takes it once it is let go.
TEST_F(EraseFileTest, AFileOpenElsewhereInAnyModeIsLeftWhole) {
  for (const int heldAs : {O_RDONLY, O_WRONLY, O_RDWR}) {
    for (const mode_t mode : {0644u, 0444u}) {
      for (const bool wipe : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << "held as " << heldAs << ", mode " << std::oct << mode << ", wipe " << wipe);
        const fs::path file = folder.Write("held.txt", "held");
        chmod(file.c_str(), mode);
        const int holder = open(file.c_str(), heldAs);
        ASSERT_GE(holder, 0);

        const Erasure erased = Erase(*files.OpenFolder(folder.Path().string()), "held.txt", wipe);

        EXPECT_EQ(erased.access, FileAccess::kInUse);
        EXPECT_FALSE(erased.removed);
        EXPECT_EQ(ReadFile(file), "held");
        EXPECT_EQ(ModeOf(file), mode);
        close(holder);
        EXPECT_TRUE(Erase(*files.OpenFolder(folder.Path().string()), "held.txt", wipe).removed);
        EXPECT_FALSE(fs::exists(file));
      }
    }
  }
}

// Another program opening the file while the probe holds its lease breaks the lease, and the
// kernel tells this program by a signal. Neither may that end the program, nor may a file
// end up half erased: each try either erases the file or keeps it whole.
TEST_F(EraseFileTest, AnotherProgramOpeningTheFileDuringTheProbeIsSurvived) {
  constexpr int kTries = 1000;
  const std::string content = "contested";
  const fs::path file = folder / "contested.txt";
  const char* const name = file.c_str();
  const pid_t opener = fork();
  ASSERT_GE(opener, 0);
  if (opener == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    for (;;) {
      const int fd = open(name, O_RDONLY);
      if (fd >= 0) {
        close(fd);
      }
    }
  }
  int erased = 0;
  int kept = 0;
  for (int i = 0; i < kTries; ++i) {
    folder.Write("contested.txt", content);
    EraseFile(file.string(), i % 2 == 0);
    if (!fs::exists(file)) {
      ++erased;
    } else if (ReadFile(file) == content) {
      ++kept;
    }
  }
  kill(opener, SIGKILL);
  waitpid(opener, nullptr, 0);
  EXPECT_EQ(erased + kept, kTries) << erased << " erased, " << kept << " kept whole";
  EXPECT_GT(erased, 0);
}

}  // namespace
}  // namespace hv
