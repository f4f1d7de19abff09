// Builds a tree of files for the folder-deletion comparison, or deletes its matching files
// with DeleteFiles, wiping them when asked, and reports the time (see fileio_bench.sh).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fileio/DeleteFiles.h"

namespace {

// folders folders of files files each; every other file ends in .tmp, the rest in .dat.
void MakeTree(const std::filesystem::path& root, int folders, int files) {
  for (int f = 0; f < folders; ++f) {
    const auto folder = root / ("folder" + std::to_string(f));
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files; ++i) {
      std::ofstream(folder / ("file" + std::to_string(i) + (i % 2 ? ".dat" : ".tmp"))) << "x";
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "make" && argc == 5) {
    MakeTree(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    return 0;
  }
  if (command == "delete" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "wipe"))) {
    const auto start = std::chrono::steady_clock::now();
    hv::DeleteFiles(argv[2], argv[3], argc == 5);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("DeleteFiles: %.3f s\n", elapsed.count());
    return 0;
  }
  std::fprintf(stderr, "usage: %s make DIR FOLDERS FILES | delete DIR/ MASK [wipe]\n", argv[0]);
  return 2;
}
