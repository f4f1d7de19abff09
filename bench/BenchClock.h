#pragma once

#include <chrono>
#include <cstdio>

// Runs work the given number of times and prints the mean time of one run.
template <typename Work>
void Measure(const char* what, int repetitions, Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repetitions; ++i) {
    work();
  }
  const std::chrono::duration<double, std::micro> elapsed =
      std::chrono::steady_clock::now() - start;
  std::printf("%-48s %12.2f us per run\n", what, elapsed.count() / repetitions);
}
