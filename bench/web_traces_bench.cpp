// How long the web-trace actions take on a Firefox profile with 10,000 cookies, 10,000
// visited pages and 10,000 cache files, beside the bulk operations that remove the same
// rows and files: one DELETE through the sqlite3 tool, and rm. Goal: within 5 times, in
// wall-clock time (what the user waits for; the program spreads a walk over the machine's
// processors, so its processor time is shown too, and is larger). Beside them, the preview
// of each item against a plain walk of the same stores: goal within 2 times. The medians of
// kRounds rounds, each on fresh fixtures.
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "WebTracesFixture.h"
#include "clean/modCache.h"
#include "platform/posix/browser/BrowserUrlCache.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCount = bench::kTraceCount;
constexpr int kRounds = 3;

using Fixture = bench::WebTraces;

// Counts what the actions report, as cheaply as a sink can.
struct CountingSink : hv::ReportSink {
  void Add(const hv::ReportEntry&) override { ++count; }
  size_t count = 0;
};

// One measurement: wall-clock time, and the processor time of this program and of the
// programs it ran, all in milliseconds. On a busy machine the processor times compare
// the work itself; the wall-clock time also holds the waits for a processor.
struct Cost {
  double wall = 0;
  double cpu = 0;
};

double CpuMs(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
         usage.ru_stime.tv_usec / 1e3;
}

Cost Measure(const std::function<void()>& work) {
  const double cpuBefore = CpuMs(RUSAGE_SELF) + CpuMs(RUSAGE_CHILDREN);
  const auto start = std::chrono::steady_clock::now();
  work();
  const auto wall = std::chrono::steady_clock::now() - start;
  return {std::chrono::duration<double, std::milli>(wall).count(),
          CpuMs(RUSAGE_SELF) + CpuMs(RUSAGE_CHILDREN) - cpuBefore};
}

// The measurements of every round under one name each; reported as medians.
class Results {
 public:
  void Add(const std::string& what, Cost cost) { costs_[what].push_back(cost); }

  Cost Median(const std::string& what) const {
    std::vector<double> walls;
    std::vector<double> cpus;
    for (const Cost& cost : costs_.at(what)) {
      walls.push_back(cost.wall);
      cpus.push_back(cost.cpu);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
  }

 private:
  std::map<std::string, std::vector<Cost>> costs_;
};

// A fresh fixture, its writes on the disk before anything is measured on it.
Fixture Fresh(const fs::path& root) {
  Fixture fixture = bench::BuildWebTraces(root);
  std::system("sync");
  return fixture;
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
  }
}

// One round of every measurement, each series on a fixture of its own.
void Round(const fs::path& root, Results& results) {
  {
    // What the Web cleaner does in one run of the program: the three actions in a row on
    // one URL cache, the first walk reading every cache file's key.
    const Fixture f = Fresh(root);
    hv::BrowserUrlCache cache(f.Folders());
    hv::modCache walk(cache);
    CountingSink sink;
    results.Add("cookies, cold", Measure([&] { hv::DeleteCookies(walk, {sink, false}); }));
    results.Add("history", Measure([&] { hv::ClearUrlHistory(walk, {sink, false}); }));
    results.Add("files", Measure([&] { hv::DeleteCacheFiles(walk, {sink, false}); }));
  }
  {
    // Walks that delete nothing, then the cookies once the keys are known (a second
    // cleaning in the same run of the program).
    const Fixture f = Fresh(root);
    hv::BrowserUrlCache cache(f.Folders());
    hv::modCache walk(cache);
    const auto plainWalk = [&] {
      for (bool more = walk.FindFirstEntry(); more; more = walk.FindNextEntry()) {
      }
    };
    results.Add("walk, cold", Measure(plainWalk));
    results.Add("walk, warm", Measure(plainWalk));
    // The preview the window runs of the three items: three walks for looking only, each
    // entry reported.
    CountingSink sink;
    results.Add("preview, cookies", Measure([&] { hv::DeleteCookies(walk, {sink, true}); }));
    results.Add("preview, history", Measure([&] { hv::ClearUrlHistory(walk, {sink, true}); }));
    results.Add("preview, files", Measure([&] { hv::DeleteCacheFiles(walk, {sink, true}); }));
    if (sink.count != 3 * kCount) {
      std::fprintf(stderr, "preview reported %zu entries, not %d\n", sink.count, 3 * kCount);
      std::exit(1);
    }
    results.Add("cookies, warm", Measure([&] { hv::DeleteCookies(walk, {sink, false}); }));
  }
  {
    const Fixture f = Fresh(root);
    results.Add("cookies, bulk", Measure([&] {
                  Shell("sqlite3 '" + (f.profile / "cookies.sqlite").string() +
                        "' 'DELETE FROM moz_cookies'");
                }));
    results.Add("history, bulk", Measure([&] {
                  Shell("sqlite3 '" + (f.profile / "places.sqlite").string() +
                        "' 'DELETE FROM moz_historyvisits; DELETE FROM moz_places WHERE id NOT "
                        "IN (SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL)'");
                }));
    results.Add("files, bulk", Measure([&] { Shell("rm -f '" + f.entries.string() + "'/*"); }));
  }
}

void Compare(const char* what, Cost ours, Cost bulk) {
  std::printf(
      "%-34s wall %8.1f ms, bulk %8.1f ms, ratio %6.2f | cpu %8.1f ms, bulk %8.1f ms, "
      "ratio %6.2f %s\n",
      what, ours.wall, bulk.wall, ours.wall / bulk.wall, ours.cpu, bulk.cpu, ours.cpu / bulk.cpu,
      ours.wall <= 5 * bulk.wall ? "(within 5x)" : "(over 5x)");
}

void Show(const char* what, Cost cost) {
  std::printf("%-34s wall %8.1f ms | cpu %8.1f ms\n", what, cost.wall, cost.cpu);
}

}  // namespace

// The fixture goes below the folder given (the system's temporary folder by default), so
// that the same run can be made on another disk.
int main(int argc, char** argv) {
  const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  std::string pattern = (base / "hushvault-web-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror(pattern.c_str());
    return 1;
  }
  const fs::path root = fs::path(pattern) / "fixture";
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  std::printf("fixture below %s\n", pattern.c_str());

  Results results;
  for (int round = 0; round < kRounds; ++round) {
    Round(root, results);
  }
  // Where the time of a deleting walk goes: every walk names all 30,000 entries.
  Show("walk, cold (every key read)", results.Median("walk, cold"));
  Show("walk, warm (keys remembered)", results.Median("walk, warm"));
  // Each preview action is one walk for looking only; the goal is each within 2 times a
  // plain walk.
  const Cost plain = results.Median("walk, warm");
  Cost previewAll;
  for (const char* kind : {"cookies", "history", "files"}) {
    const std::string what = std::string("preview, ") + kind;
    const Cost cost = results.Median(what);
    previewAll.wall += cost.wall;
    previewAll.cpu += cost.cpu;
    std::printf("%-34s wall %8.1f ms, plain walk %8.1f ms, ratio %6.2f %s\n", what.c_str(),
                cost.wall, plain.wall, cost.wall / plain.wall,
                cost.wall <= 2 * plain.wall ? "(within 2x)" : "(over 2x)");
  }
  Show("preview, all three items", previewAll);
  Compare("DeleteCookies, first walk", results.Median("cookies, cold"),
          results.Median("cookies, bulk"));
  Compare("DeleteCookies, keys remembered", results.Median("cookies, warm"),
          results.Median("cookies, bulk"));
  Compare("ClearUrlHistory", results.Median("history"), results.Median("history, bulk"));
  Compare("DeleteCacheFiles, after cookies", results.Median("files"),
          results.Median("files, bulk"));

  fs::remove_all(pattern);
  return 0;
}
