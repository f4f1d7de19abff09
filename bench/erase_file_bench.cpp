// Wipes one existing file with EraseFile and reports the time and the peak memory of the
// process, for comparison with other wiping tools (see fileio_bench.sh).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "fileio/EraseFile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const bool wiped = hv::EraseFile(argv[1], true);
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("EraseFile: %s in %.3f s, peak memory %ld KiB\n", wiped ? "wiped" : "NOT wiped",
              elapsed.count(), usage.ru_maxrss);
  return wiped ? 0 : 1;
}
