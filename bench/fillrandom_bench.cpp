// How fast FillRandom fills wipe blocks on one core. The rate is given per second of
// processor time as well, which other work on a busy machine does not inflate.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "fileio/FillRandom.h"

namespace {

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

}  // namespace

int main() {
  constexpr size_t kBlock = 65536;
  constexpr size_t kTotal = size_t{2} << 30;
  std::vector<std::byte> block(kBlock);
  unsigned checksum = 0;  // keeps the work from being optimised away
  const double cpuStart = CpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  for (size_t done = 0; done < kTotal; done += kBlock) {
    hv::FillRandom(block);
    checksum += static_cast<unsigned>(block[done % kBlock]);
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  const double cpu = CpuSeconds() - cpuStart;
  const double bytes = static_cast<double>(kTotal);
  std::printf("FillRandom: %.2f GB/s per processor second, %.2f GB/s wall (%zu MiB, checksum %u)\n",
              bytes / cpu / 1e9, bytes / wall.count() / 1e9, kTotal >> 20, checksum);
  return 0;
}
