#include "fileio/WipeFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RecordingProgress.h"
#include "TempFolder.h"

namespace hv {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class WipeFilesTest : public testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& content) {
    return folder_.Write(name, content).string();
  }
  test::TempFolder folder_;
};

// Every file is reported and counted; a missing one counts as not wiped. The passes go
// through each file's whole length.
TEST_F(WipeFilesTest, WipesEachFileAndCountsWhatBecameOfIt) {
  const std::string a = Write("a", std::string(100000, 'a'));
  const std::string missing = (folder_ / "missing").string();
  const std::string b = Write("b", "b");
  test::RecordingProgress progress;
  EXPECT_EQ(WipeFiles({a, missing, b}, NativeFileSystem(), progress),
            (WipeTally{.wiped = 2, .notWiped = 1, .left = 0}));
  EXPECT_EQ(progress.events,
            (Lines{"begin " + a, "end " + a + " done", "begin " + missing,
                   "end " + missing + " not done", "begin " + b, "end " + b + " done"}));
  EXPECT_GE(progress.totalAdvanced, 100001u);
  EXPECT_TRUE(test::NamesIn(folder_.Path()).empty());
}

// Cancel in the middle of a large file: that file is wiped to its end, since half of it
// overwritten would be neither kept nor gone; the files after it are left untouched.
TEST_F(WipeFilesTest, StopTakesEffectBetweenFilesOnly) {
  constexpr std::size_t kLarge = 8 << 20;
  const std::string large = Write("large", std::string(kLarge, 'L'));
  const std::string next = Write("next", "keep me");
  const std::string last = Write("last", "keep me too");
  test::RecordingProgress progress;
  progress.stopIn = large;
  progress.stopAfterBytes = 1 << 20;
  EXPECT_EQ(WipeFiles({large, next, last}, NativeFileSystem(), progress),
            (WipeTally{.wiped = 1, .notWiped = 0, .left = 2}));
  EXPECT_EQ(progress.events, (Lines{"begin " + large, "end " + large + " done"}));
  EXPECT_GE(progress.advanced, kLarge);
  EXPECT_FALSE(fs::exists(large));
  EXPECT_EQ(test::ReadFile(next), "keep me");
  EXPECT_EQ(test::ReadFile(last), "keep me too");
}

}  // namespace
}  // namespace hv
