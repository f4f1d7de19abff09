#include "util/ParallelWork.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace hv {

std::size_t ProcessorCount() {
  // Asked once: the system reads it from a file each time, and walks ask per folder.
  static const std::size_t count = std::max(1u, std::thread::hardware_concurrency());
  return count;
}

void RunInParallel(std::size_t count, std::size_t threads,
                   const std::function<void(std::size_t)>& work) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr firstFailure;
  std::mutex failureGuard;
  const auto takeTurns = [&] {
    try {
      for (std::size_t index = next++; index < count && !failed; index = next++) {
        work(index);
      }
    } catch (...) {
      const std::lock_guard lock(failureGuard);
      if (!firstFailure) {
        firstFailure = std::current_exception();
      }
      failed = true;
    }
  };
  std::vector<std::thread> helpers;
  const std::size_t helperCount = std::min(threads, count) > 1 ? std::min(threads, count) - 1 : 0;
  try {
    for (std::size_t n = 0; n < helperCount; ++n) {
      helpers.emplace_back(takeTurns);
    }
  } catch (const std::system_error&) {
    // No more threads to be had: those already started and this one do the work.
  }
  takeTurns();
  for (std::thread& helper : helpers) {
    helper.join();
  }
  if (firstFailure) {
    std::rethrow_exception(firstFailure);
  }
}

}  // namespace hv
