#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "util/ParallelWork.h"

namespace hv {
namespace {

struct Share {
  size_t count;
  size_t threads;
};

class ParallelWorkTest : public testing::TestWithParam<Share> {};

TEST_P(ParallelWorkTest, RunsEveryIndexExactlyOnce) {
  const Share share = GetParam();
  std::vector<std::atomic<int>> runs(share.count);
  RunInParallel(share.count, share.threads, [&](size_t index) { ++runs.at(index); });
  for (size_t index = 0; index < share.count; ++index) {
    EXPECT_EQ(runs[index], 1) << "index " << index;
  }
}

INSTANTIATE_TEST_SUITE_P(Shares, ParallelWorkTest,
                         testing::Values(Share{0, 4}, Share{1, 4}, Share{3, 0}, Share{5, 1},
                                         Share{2, 8}, Share{10000, 4}),
                         [](const testing::TestParamInfo<Share>& info) {
                           return std::to_string(info.param.count) + "_on_" +
                                  std::to_string(info.param.threads);
                         });

TEST(ParallelWorkFailureTest, TheFirstFailurePassesOnAfterAllHaveStopped) {
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
      --running;
    });
    FAIL() << "the failure was swallowed";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), "index 10 failed");
  }
  EXPECT_EQ(running, 0) << "a call was still running when the failure came out";
  EXPECT_LT(ran, 100000) << "calls went on starting after the failure";
}

// Two calls that each wait for the other can only both finish when they run side by side.
TEST(ParallelWorkThreadsTest, CallsRunSideBySide) {
  std::mutex guard;
  std::condition_variable arrived;
  int present = 0;
  bool met = true;
  RunInParallel(2, 2, [&](size_t) {
    std::unique_lock lock(guard);
    ++present;
    arrived.notify_all();
    met = arrived.wait_for(lock, std::chrono::seconds(10), [&] { return present == 2; }) && met;
  });
  EXPECT_TRUE(met);
  EXPECT_GE(ProcessorCount(), 1u);
}

}  // namespace
}  // namespace hv
