// How long name matching takes on ordinary file names and on adversarial input.
#include <string>

#include "BenchClock.h"
#include "util/NamePattern.h"

int main() {
  volatile bool sink = false;
  Measure("ordinary name, *.tmp", 200000,
          [&] { sink = hv::MatchesPattern("~WRL0003.tmp", "*.tmp"); });
  Measure("ordinary name, list and ranges", 200000,
          [&] { sink = hv::MatchesPattern("index-2026.dat", "index-[0-9]###.[a-z]at"); });
  const std::string longName(100000, 'a');
  std::string stars;
  for (int i = 0; i < 100; ++i) {
    stars += "*a";
  }
  Measure("100 kB name, 100 stars, no match", 5,
          [&] { sink = hv::MatchesPattern(longName, stars + "b"); });
  Measure("100 kB name, 100 stars, match", 5, [&] { sink = hv::MatchesPattern(longName, stars); });
  for (const int brackets : {10000, 40000}) {
    const std::string unclosed(brackets, '[');
    const std::string what = std::to_string(brackets) + " unclosed [, one short name";
    Measure(what.c_str(), 5, [&] { sink = hv::MatchesPattern("[[[a", unclosed); });
  }
  return sink ? 0 : 0;
}
