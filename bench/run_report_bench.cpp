// What the run's report costs: removing 100,000 files with and without a report entry for
// each (the entry carries the file's allocated bytes, as the actions report them), side
// by side in one run; and the peak memory of a report that takes in 1,000,000 entries.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "clean/RunReport.h"
#include "fileio/CleanItem.h"

namespace {

constexpr int kFilesPerFolder = 100;
constexpr size_t kMemoryEntries = 1'000'000;

std::vector<std::string> MakeTree(const std::filesystem::path& root, int folders) {
  std::vector<std::string> files;
  for (int f = 0; f < folders; ++f) {
    const auto folder = root / ("folder" + std::to_string(f));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < kFilesPerFolder; ++i) {
      files.push_back((folder / ("file" + std::to_string(i) + ".tmp")).string());
      std::ofstream(files.back()) << "x";
    }
  }
  return files;
}

// Removes every file, reporting each to report when one is given; seconds taken.
double RemoveAll(const std::vector<std::string>& files, hv::RunReport* report) {
  const auto start = std::chrono::steady_clock::now();
  for (const std::string& file : files) {
    struct stat info {};
    if (lstat(file.c_str(), &info) != 0 || unlink(file.c_str()) != 0) {
      continue;
    }
    if (report != nullptr) {
      report->Add({hv::EntryType::kFile, file, static_cast<uint64_t>(info.st_blocks) * 512,
                   hv::EntryOutcome::kRemoved, ""});
    }
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  // run_report_bench [DIR [FOLDERS]]: 1,000 folders of 100 files unless told.
  const std::filesystem::path root =
      argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "hushvault-run-report-bench";
  const int folders = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
  std::filesystem::remove_all(root);

  double plain = 0;
  double reported = 0;
  for (int round = 0; round < 3; ++round) {  // alternate, so that neither side warms the other
    plain += RemoveAll(MakeTree(root, folders), nullptr);
    hv::RunReport report;
    report.BeginItem({"k", "Temporary files", 2, "", "*", false, false, false});
    reported += RemoveAll(MakeTree(root, folders), &report);
  }
  std::filesystem::remove_all(root);
  std::printf("remove %d files, no report:    %8.3f s\n", folders * kFilesPerFolder, plain / 3);
  std::printf("remove %d files, with report:  %8.3f s  (%.3f times)\n", folders * kFilesPerFolder,
              reported / 3, reported / plain);

  const long before = PeakKilobytes();
  hv::RunReport report;
  report.BeginItem({"k", "Temporary files", 2, "", "*", false, false, false});
  for (size_t i = 0; i < kMemoryEntries; ++i) {
    report.Add({hv::EntryType::kFile,
                "/home/someone/.cache/thumbnails/large/" + std::to_string(i) + "0123456789.png",
                4096, hv::EntryOutcome::kWouldBeRemoved, ""});
  }
  std::printf("report of %zu entries: peak %.1f MiB (process before: %.1f MiB), %s listed\n",
              kMemoryEntries, PeakKilobytes() / 1024.0, before / 1024.0,
              hv::GroupedNumber(report.Item(0).shownEntries).c_str());
  return 0;
}
