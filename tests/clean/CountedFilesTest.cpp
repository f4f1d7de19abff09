#include <gtest/gtest.h>

#include <vector>

#include "clean/CountedFiles.h"

namespace hv {
namespace {

// A file is new the first time only; the same number on another volume is another file, a
// file of unknown identity is never taken for one counted before, and a number past 32 bits
// keeps what its volume counted before.
TEST(CountedFilesTest, EachFileIsNewOnceWhateverElseWasCounted) {
  struct Step {
    FileIdentity file;
    bool isNew;
  };
  const std::vector<Step> steps = {
      {{1, 100}, true},
      {{1, 100}, false},
      {{2, 100}, true},
      {{2, 100}, false},
      {{1, 101}, true},
      {{0, 0}, true},
      {{0, 0}, true},
      {{7, 0}, true},
      {{1, 100}, false},
      {{3, 100}, true},
      {{2, 101}, true},
      {{1, uint64_t{1} << 40}, true},
      {{1, 100}, false},
      {{1, 101}, false},
      {{1, uint64_t{1} << 40}, false},
      {{2, (uint64_t{1} << 40) + 100}, true},
      {{2, 100}, false},
  };
  CountedFiles counted;
  for (size_t n = 0; n < steps.size(); ++n) {
    EXPECT_EQ(counted.Count(steps[n].file), steps[n].isNew) << "step " << n;
  }
  EXPECT_EQ(counted.Size(), 7u);
}

// Numbers come in runs and far apart; every one stays counted while the tables grow, up to
// the bound. Past it a file not seen before is taken as new and not kept, while every file
// counted before the bound is still known.
TEST(CountedFilesTest, EveryFileStaysCountedUpToTheBoundAndMemoryStopsThere) {
  CountedFiles counted;
  const auto numberOf = [](size_t n) { return n % 2 ? n + 1 : (uint64_t{n} << 24) + 3; };
  for (size_t n = 0; n < CountedFiles::kMostFiles; ++n) {
    ASSERT_TRUE(counted.Count({n % 3, numberOf(n)})) << n;
  }
  for (size_t n = 0; n < CountedFiles::kMostFiles; n += 997) {
    ASSERT_FALSE(counted.Count({n % 3, numberOf(n)})) << n;
  }
  const FileIdentity late{1, uint64_t{1} << 62};
  EXPECT_TRUE(counted.Count(late));
  EXPECT_TRUE(counted.Count(late));
  EXPECT_EQ(counted.Size(), CountedFiles::kMostFiles);
}

}  // namespace
}  // namespace hv
