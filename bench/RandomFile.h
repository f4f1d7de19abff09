#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace bench {

// Writes mib MiB of random bytes (the same for every run) to path and forces them to the
// disk, so that no timed step pays for writing them back.
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
  const int fd = open(path.c_str(), O_RDONLY);
  fsync(fd);
  close(fd);
}

}  // namespace bench
