#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

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

struct BlockCountCase {
  size_t length;
  size_t passBlocks;
};

class WipeLengthTest : public EraseFileTest, public testing::WithParamInterface<BlockCountCase> {};

// One test block, then whole blocks covering the length and one block beyond it.
TEST_P(WipeLengthTest, WritesTestBlockThenBlocksPastTheEnd) {
  const fs::path file = folder.Write("victim.dat", std::string(GetParam().length, 'S'));

  EXPECT_TRUE(EraseFile(file.string(), true, files));

  EXPECT_FALSE(fs::exists(fs::symlink_status(file)));
  ASSERT_EQ(files.openings.size(), 2u);
  const auto& test = files.openings[0];
  EXPECT_EQ(test.mode, (WriteMode{.noBuffering = true}));
  ASSERT_EQ(test.writes.size(), 1u);
  EXPECT_EQ(test.writes[0].size(), kBlock);
  const auto& passes = files.openings[1];
  EXPECT_TRUE(passes.mode.deleteOnClose);
  EXPECT_TRUE(passes.mode.noBuffering || passes.mode.writeThrough);
  EXPECT_EQ(files.PassData().size(), GetParam().passBlocks * kBlock);
  EXPECT_TRUE(std::ranges::all_of(passes.writes, [](const std::string& written) {
    return !written.empty() && written.size() % kBlock == 0;
  })) << "every write covers whole blocks";
  EXPECT_GE(passes.flushes, 1);
  EXPECT_EQ(passes.truncations, 1);
}

INSTANTIATE_TEST_SUITE_P(Lengths, WipeLengthTest,
                         testing::Values(BlockCountCase{0, 1}, BlockCountCase{1, 1},
                                         BlockCountCase{65535, 1}, BlockCountCase{65536, 2},
                                         BlockCountCase{65537, 2}, BlockCountCase{300000, 5},
                                         BlockCountCase{16 * 65536 - 1, 16},
                                         BlockCountCase{40 * 65536, 41}));

TEST_F(EraseFileTest, OverwriteBytesLieBetweenZeroAndTwoHundredAndChangeEveryBlock) {
  const fs::path file = folder.Write("big.dat", std::string(20 * kBlock, 'x'));

  ASSERT_TRUE(EraseFile(file.string(), true, files));

  const std::string data = files.PassData();
  ASSERT_EQ(data.size(), 21 * kBlock);
  EXPECT_TRUE(AllWithinRange(files.openings.at(0).writes.at(0)));
  EXPECT_TRUE(AllWithinRange(data));
  for (size_t i = 1; i < 21; ++i) {
    EXPECT_NE(data.substr(i * kBlock, kBlock), data.substr((i - 1) * kBlock, kBlock))
        << "block " << i << " repeats the one before";
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
  files.beforeTruncation = [&](const std::string&) { seenBeforeCut = ReadFile(twin); };

  ASSERT_TRUE(EraseFile(file.string(), true, files));

  EXPECT_EQ(seenBeforeCut, files.PassData());
  EXPECT_EQ(seenBeforeCut.size(), 2 * kBlock);
  EXPECT_EQ(fs::file_size(twin), 0u) << "the file is cut to zero before its name goes";
  EXPECT_FALSE(fs::exists(file));
}

struct DirectWipeCase {
  const char* what;
  std::string name;
  mode_t mode;
};

class WipedFileTest : public EraseFileTest, public testing::WithParamInterface<DirectWipeCase> {};

TEST_P(WipedFileTest, IsOverwrittenAndGone) {
  const fs::path file = folder.Write(GetParam().name, "content of the file");
  chmod(file.c_str(), GetParam().mode);

  EXPECT_TRUE(EraseFile(file.string(), true, files)) << GetParam().what;

  EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << GetParam().what;
  EXPECT_FALSE(files.PassData().empty()) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Kinds, WipedFileTest,
                         testing::Values(DirectWipeCase{"read-only", "readonly.txt", 0444},
                                         DirectWipeCase{"hidden", ".hidden", 0644},
                                         DirectWipeCase{"odd bytes in the name",
                                                        "odd\x01\xff name\t.txt", 0644}),
                         [](const testing::TestParamInfo<DirectWipeCase>& info) {
                           return "Case" + std::to_string(info.index);
                         });

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

TEST_F(EraseFileTest, FileHeldOpenElsewhereStaysWithItsAttributes) {
  const fs::path file = folder.Write("busy.txt", "in use");
  chmod(file.c_str(), 0444);
  const int holder = open(file.c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);

  for (const bool wipe : {true, false}) {
    EXPECT_FALSE(EraseFile(file.string(), wipe, files));
    EXPECT_EQ(ReadFile(file), "in use");
    EXPECT_EQ(ModeOf(file), 0444u);
  }
  close(holder);
  EXPECT_TRUE(files.openings.empty());
}

// What must be refused without a change: nothing to erase, or nothing that is ours to
// write into.
TEST_F(EraseFileTest, RefusesWhatIsNotAnOrdinaryFile) {
  const fs::path outside = folder.Write("outside/target.txt", "keep me");
  const fs::path link = folder / "link.txt";
  fs::create_symlink(outside, link);
  const fs::path pipe = folder / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  const fs::path subfolder = folder / "sub";
  fs::create_directory(subfolder);

  for (const fs::path& path : {folder / "missing.txt", link, pipe, subfolder}) {
    for (const bool wipe : {true, false}) {
      EXPECT_FALSE(EraseFile(path.string(), wipe, files)) << path;
    }
  }

  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFile(outside), "keep me");
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_TRUE(fs::is_directory(subfolder));
  EXPECT_TRUE(files.openings.empty());
}

// Only where this user may not remove the file's name; root may always.
TEST_F(EraseFileTest, FileInAFolderWithoutWriteRightsStays) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root may delete in any folder";
  }
  const fs::path file = folder.Write("shut/inside.txt", "stays");
  chmod((folder / "shut").c_str(), 0555);

  EXPECT_FALSE(EraseFile(file.string(), true, files));

  EXPECT_EQ(ReadFile(file), "stays");
}

}  // namespace
}  // namespace hv
