// How long loading a definition file takes: a typical file and a 10 MB one.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchClock.h"
#include "fileio/DefinitionLoader.h"

namespace {

std::string MakeFile(const std::filesystem::path& path, int records, size_t captionLength) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (int i = 0; i < records; ++i) {
    out << "\"item" << i << "\",\"" << std::string(captionLength, 'c')
        << "\",2,\"%TEMP%/\",\"*.tmp\",0,0,1\r\n";
  }
  return path.string();
}

}  // namespace

int main() {
  const auto folder = std::filesystem::temp_directory_path();
  const std::string typical = MakeFile(folder / "hushvault-bench-typical.cln", 60, 40);
  const std::string large = MakeFile(folder / "hushvault-bench-large.cln", 100000, 80);
  hv::CleanItemList list;
  Measure("60 records", 2000, [&] { hv::LoadCleanItems(typical, list); });
  Measure("100000 records (10 MB)", 5, [&] { hv::LoadCleanItems(large, list); });
  std::filesystem::remove(typical);
  std::filesystem::remove(large);
  std::printf("records in the large file: %zu\n", list.size());
  return 0;
}
