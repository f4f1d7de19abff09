// Builds a tree of files for the folder-deletion comparison, or deletes its matching files
// with DeleteFiles (wiping them when asked, the report dropped or kept), or previews them
// into a run's report, and reports the time and the peak memory (see fileio_bench.sh).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ReportSinks.h"
#include "clean/RunReport.h"
#include "fileio/CleanItem.h"
#include "fileio/DeleteFiles.h"

namespace {

long PeakMemoryKiB() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// folders folders of files files each; every other file ends in .tmp, the rest in .dat.
// Empty files take no blocks, so a tree of millions needs no room on the disk.
void MakeTree(const std::filesystem::path& root, int folders, int files, bool empty) {
  for (int f = 0; f < folders; ++f) {
    const auto folder = root / ("folder" + std::to_string(f));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files; ++i) {
      std::ofstream file(folder / ("file" + std::to_string(i) + (i % 2 ? ".dat" : ".tmp")));
      if (!empty) {
        file << "x";
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "make" && (argc == 5 || (argc == 6 && std::string(argv[5]) == "empty"))) {
    MakeTree(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), argc == 6);
    return 0;
  }
  const bool wipe = argc == 5 && std::string(argv[4]) == "wipe";
  if ((command == "delete" || command == "delete-reported" || command == "preview") &&
      (argc == 4 || wipe)) {
    bench::DroppingSink dropped;
    bench::CountingSink counted;
    // A preview reports to the run's own report, as in the window: its visible list and the
    // files it counted are part of what a preview costs.
    hv::RunReport report;
    report.BeginItem({"k", "Temporary files", 2, argv[2], argv[3], false, false, false});
    hv::ReportSink& sink = command == "delete"    ? static_cast<hv::ReportSink&>(dropped)
                           : command == "preview" ? static_cast<hv::ReportSink&>(report)
                                                  : counted;
    const auto start = std::chrono::steady_clock::now();
    hv::DeleteFiles(argv[2], argv[3], wipe, sink, command == "preview");
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const bool previewed = command == "preview";
    std::printf(
        "%s: %.3f s, %llu entries, %llu bytes, peak memory %ld KiB\n", command.c_str(),
        elapsed.count(),
        static_cast<unsigned long long>(previewed ? report.Totals().Entries() : counted.entries),
        static_cast<unsigned long long>(previewed ? report.Totals().Bytes() : counted.bytes),
        PeakMemoryKiB());
    return 0;
  }
  std::fprintf(
      stderr,
      "usage: %s make DIR FOLDERS FILES [empty] | delete|delete-reported|preview DIR/ MASK "
      "[wipe]\n",
      argv[0]);
  return 2;
}
