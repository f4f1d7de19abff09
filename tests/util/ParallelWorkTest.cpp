#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "util/ParallelWork.h"

namespace hv {
namespace {

// Counts from none to many, threads from none to more than the work.
TEST(ParallelWorkTest, RunsEveryIndexExactlyOnce) {
  for (const auto& [count, threads] :
       {std::pair<size_t, size_t>{0, 4}, {3, 0}, {2, 8}, {10000, 4}}) {
    std::vector<std::atomic<int>> runs(count);
    RunInParallel(count, threads, [&](size_t index) { ++runs.at(index); });
    for (size_t index = 0; index < count; ++index) {
      ASSERT_EQ(runs[index], 1) << "index " << index << " of " << count << " on " << threads;
    }
  }
}

TEST(ParallelWorkTest, TheFirstFailurePassesOnAfterAllHaveStopped) {
  std::atomic<int> running{0};
  std::atomic<int> ran{0};
  try {
    RunInParallel(100000, 4, [&](size_t index) {
      ++running;
      ++ran;
      if (index == 10) {
        --running;
        throw std::runtime_error("index 10 failed");
      }
      // Later calls take a while, so that the rest of the work outlasts any delay of the
      // failing thread on a busy machine: only a missing stop lets them all run.
      if (index >= 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      --running;
    });
    FAIL() << "the failure was swallowed";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), "index 10 failed");
  }
  EXPECT_EQ(running, 0) << "a call was still running when the failure came out";
  EXPECT_LT(ran, 100000) << "calls went on starting after the failure";
}

}  // namespace
}  // namespace hv
