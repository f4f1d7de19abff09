#pragma once

// What the encryption benchmarks share: times, processor times, peak memory, the machine's
// load, and a large file of random bytes.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace bench {

inline double PeakMiB(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Processor seconds (user and system) used so far by the process or by its ended children:
// unlike the wall time, this does not grow when other programs load the machine.
inline double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall times mean little on a loaded machine: the load average is printed beside them.
inline void PrintLoad(const char* when) {
  std::ifstream loadavg("/proc/loadavg");
  std::string one, five, fifteen;
  loadavg >> one >> five >> fifteen;
  std::printf("load average %s: %s %s %s\n", when, one.c_str(), five.c_str(), fifteen.c_str());
}

template <typename Work>
inline double Seconds(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline void WriteRandomFile(const std::string& path, std::uint64_t mib) {
  std::mt19937_64 generator(42);
  std::vector<std::uint64_t> block(1 << 17);  // 1 MiB
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (std::uint64_t i = 0; i < mib; ++i) {
    for (auto& word : block) {
      word = generator();
    }
    out.write(reinterpret_cast<const char*>(block.data()),
              static_cast<std::streamsize>(block.size() * sizeof block[0]));
  }
  out.close();
  // On the disk before any timing, so that no step pays for writing it back.
  const int fd = open(path.c_str(), O_RDONLY);
  fsync(fd);
  close(fd);
}

}  // namespace bench
