#include "fileio/WipeFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "RecordingProgress.h"
#include "TempFolder.h"
#include "ports/UserInterface.h"

namespace hv {
namespace {

using Lines = std::vector<std::string>;

struct WipeCase {
  const char* name;
  std::vector<std::string> present;  // files made before the wipe
  std::vector<std::string> missing;  // listed, but never there
  int wiped;
  const char* message;
  int style;
};

class WipeFilesTable : public testing::TestWithParam<WipeCase> {};

TEST_P(WipeFilesTable, CountsAndSaysWhatWasWiped) {
  const test::TempFolder folder;
  const WipeCase& c = GetParam();
  std::vector<std::string> paths;
  for (const std::string& name : c.present) {
    paths.push_back(folder.Write(name, "secret " + name).string());
  }
  for (const std::string& name : c.missing) {
    paths.push_back((folder / name).string());
  }
  const WipeOutcome outcome = WipeFiles(paths);
  EXPECT_EQ(outcome.wiped, c.wiped);
  EXPECT_EQ(outcome.message, c.message);
  EXPECT_EQ(outcome.style, c.style);
  EXPECT_TRUE(test::NamesIn(folder.Path()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WipeFilesTable,
    testing::Values(
        WipeCase{"AllWiped",
                 {"a", "b"},
                 {},
                 2,
                 "Successfully wiped 2 file(s).\r\n",
                 MessageStyle::kInformation},
        WipeCase{"SomeMissing",
                 {"a"},
                 {"gone", "also gone"},
                 1,
                 "Successfully wiped 1 file(s).\r\nCould not delete 2 files!",
                 MessageStyle::kExclamation},
        WipeCase{
            "NoneThere", {}, {"gone"}, 0, "Could not delete 1 files!", MessageStyle::kExclamation},
        WipeCase{"EmptyList", {}, {}, 0, "", MessageStyle::kInformation}),
    [](const testing::TestParamInfo<WipeCase>& info) { return info.param.name; });

// Every file is reported to progress as it is taken on and finished; the passes go
// through each file's whole length.
TEST(WipeFilesTest, ReportsEachFileToProgress) {
  const test::TempFolder folder;
  const std::string a = folder.Write("a", std::string(100000, 'a')).string();
  const std::string missing = (folder / "missing").string();
  const std::string b = folder.Write("b", "b").string();
  test::RecordingProgress progress;
  const WipeOutcome outcome = WipeFiles({a, missing, b}, NativeFileSystem(), progress);
  EXPECT_EQ(outcome.wiped, 2);
  EXPECT_EQ(outcome.notWiped, 1);
  EXPECT_EQ(outcome.left, 0);
  EXPECT_EQ(progress.events,
            (Lines{"begin " + a, "end " + a + " done", "begin " + missing,
                   "end " + missing + " not done", "begin " + b, "end " + b + " done"}));
  EXPECT_GE(progress.totalAdvanced, 100001u);
}

// Cancel in the middle of a large file: that file is wiped to its end, since half of it
// overwritten would be neither kept nor gone; the files after it are left untouched, and
// the message says so.
TEST(WipeFilesTest, StopTakesEffectBetweenFilesOnly) {
  const test::TempFolder folder;
  constexpr std::size_t kLarge = 8 << 20;
  const std::string large = folder.Write("large", std::string(kLarge, 'L')).string();
  const std::string next = folder.Write("next", "keep me").string();
  const std::string last = folder.Write("last", "keep me too").string();
  test::RecordingProgress progress;
  progress.stopIn = large;
  progress.stopAfterBytes = 1 << 20;
  const WipeOutcome outcome = WipeFiles({large, next, last}, NativeFileSystem(), progress);
  EXPECT_EQ(outcome.wiped, 1);
  EXPECT_EQ(outcome.notWiped, 0);
  EXPECT_EQ(outcome.left, 2);
  EXPECT_EQ(outcome.message,
            "Successfully wiped 1 file(s).\r\nStopped: 2 file(s) were left as they were.");
  EXPECT_EQ(outcome.style, MessageStyle::kInformation);
  EXPECT_EQ(progress.events, (Lines{"begin " + large, "end " + large + " done"}));
  EXPECT_GE(progress.advanced, kLarge);
  EXPECT_FALSE(std::filesystem::exists(large));
  EXPECT_EQ(test::ReadFile(next), "keep me");
  EXPECT_EQ(test::ReadFile(last), "keep me too");
}

}  // namespace
}  // namespace hv
