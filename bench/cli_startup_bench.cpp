// How long `hushvault-cli list` takes from start to end, both cleaners' definition files and
// pages read: the median of 20 runs (or of the number given). Goal: under 50 ms. The
// program runs in a sandbox home with a settings store of its own.
#include <fcntl.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ChildProgram.h"

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  std::string pattern = (std::filesystem::temp_directory_path() / "hushvault-cli-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror(pattern.c_str());
    return 1;
  }
  const std::filesystem::path home(pattern);
  setenv("HOME", pattern.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
  setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
  setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
  setenv("HUSHVAULT_REGISTRY", (home / "registry.db").c_str(), 1);
  setenv("HUSHVAULT_NO_RESTART", "1", 1);

  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double ms = bench::TimedRun({HUSHVAULT_CLI, "list"});
    if (ms < 0) {
      std::fprintf(stderr, "hushvault-cli list failed\n");
      return 1;
    }
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  std::printf("hushvault-cli list: median %.1f ms of %d runs (fastest %.1f, slowest %.1f) %s\n",
              median, runs, times.front(), times.back(),
              median < 50 ? "(under 50 ms)" : "(over 50 ms)");
  std::filesystem::remove_all(home);
  return 0;
}
