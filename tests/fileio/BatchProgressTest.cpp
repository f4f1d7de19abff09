#include "fileio/BatchProgress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"

namespace hv {
namespace {

using State = BatchProgress::FileState;

// What the window reads after a sequence of reports.
struct Expected {
  std::string path;
  size_t fileNumber;
  uint64_t bytesDone;
  std::vector<State> states;
};

void Check(const BatchProgress& progress, const Expected& expected, const char* what) {
  const BatchProgress::Snapshot now = progress.Current();
  EXPECT_EQ(now.path, expected.path) << what;
  EXPECT_EQ(now.fileNumber, expected.fileNumber) << what;
  EXPECT_EQ(now.fileCount, 3u) << what;
  EXPECT_EQ(now.bytesDone, expected.bytesDone) << what;
  EXPECT_EQ(now.bytesTotal, 1110u) << what;
  EXPECT_EQ(progress.States(), expected.states) << what;
}

// The counts follow the files in order: bytes within a file never run past its length, and
// a file ended counts whole, done or not. An unknown file shows but counts nothing; a path
// given twice is found at its next place.
TEST(BatchProgressTest, CountsFollowTheFilesInOrder) {
  BatchProgress progress({{"a", 10}, {"b", 100}, {"a", 1000}});
  const State w = State::kWaiting, k = State::kWorking, d = State::kDone, n = State::kNotDone;
  Check(progress, {"", 0, 0, {w, w, w}}, "before the first");
  progress.BeginFile("a");
  progress.Advance(4);
  Check(progress, {"a", 1, 4, {k, w, w}}, "within the first");
  progress.Advance(400);
  Check(progress, {"a", 1, 10, {k, w, w}}, "past the first's length");
  progress.EndFile(true);
  progress.BeginFile("elsewhere");
  progress.Advance(50);
  Check(progress, {"elsewhere", 1, 10, {d, w, w}}, "an unknown file");
  progress.EndFile(false);
  progress.BeginFile("b");
  progress.EndFile(false);
  Check(progress, {"b", 2, 110, {d, n, w}}, "a file given up counts whole");
  progress.BeginFile("a");
  progress.Advance(999);
  Check(progress, {"a", 3, 1109, {d, n, k}}, "the same path again");
  progress.EndFile(true);
  Check(progress, {"a", 3, 1110, {d, n, d}}, "all done");
}

TEST(BatchProgressTest, StopIsSeenOnceAsked) {
  BatchProgress progress({});
  EXPECT_FALSE(progress.StopRequested());
  progress.RequestStop();
  EXPECT_TRUE(progress.StopRequested());
}

// Lengths as the file system has them; what cannot be measured counts as empty.
TEST(BatchProgressTest, MeasureFilesTakesEachLength) {
  const test::TempFolder folder;
  const std::string five = folder.Write("five", "12345").string();
  const std::string none = (folder / "none").string();
  const std::vector<BatchFile> measured = MeasureFiles({five, none}, NativeFileSystem());
  ASSERT_EQ(measured.size(), 2u);
  EXPECT_EQ(measured[0].path, five);
  EXPECT_EQ(measured[0].length, 5u);
  EXPECT_EQ(measured[1].path, none);
  EXPECT_EQ(measured[1].length, 0u);
}

}  // namespace
}  // namespace hv
